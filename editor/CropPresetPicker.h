#pragma once

#include "crop/CropPreset.h"

#include <QList>
#include <QWidget>

class QComboBox;

// The "Size" choice beside the page: Free, the built-in paper sizes and aspect ratios, the
// user's own, and "Add Your Own…", which asks for one and keeps it between runs.
//
// Choosing reports at once, also when the choice is the one already shown, so that a preset
// can be laid on the page again after the marker was dragged.
//
// GUI thread only.
class CropPresetPicker : public QWidget {
    Q_OBJECT

public:
    explicit CropPresetPicker(QWidget* parent = nullptr);

    // The user's own presets, oldest first.
    QList<CropPreset> ownPresets() const { return own_; }
    // Shows Free without reporting it, as for another page or a crop set by other means.
    void showFree();

signals:
    // A size or an aspect was chosen: the caller places the marker by it and locks the
    // marker's ratio where the preset has one.
    void presetChosen(const CropPreset& preset);
    // Free was chosen: the marker's aspect lock ends.
    void freeChosen();

private:
    void fill();
    void activated(int index);
    void askForOwn();
    void addOwn(const CropPreset& preset);

    QComboBox* combo_;
    QList<CropPreset> builtIns_;
    QList<CropPreset> own_;
    // The item shown before "Add Your Own…" was chosen, shown again when it is cancelled.
    int shown_ = 0;
};
