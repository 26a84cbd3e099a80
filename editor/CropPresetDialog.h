#pragma once

#include "crop/CropPreset.h"

#include <QDialog>

#include <optional>

class QDialogButtonBox;
class QLabel;
class QLineEdit;

// Asks for a crop preset of the user's own: a size, width × height in pt, mm or in, or a
// ratio, w:h. OK is offered only once the text reads as one.
//
// GUI thread only.
class CropPresetDialog : public QDialog {
    Q_OBJECT

public:
    explicit CropPresetDialog(QWidget* parent = nullptr);

    // What the text reads as; nothing while it reads as neither.
    std::optional<CropPreset> preset() const;

private:
    void textChanged();

    QLineEdit* text_;
    QLabel* reading_;
    QDialogButtonBox* buttons_;
};
