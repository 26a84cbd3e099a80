#pragma once

#include "crop/CropLength.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QToolButton;

// The choices of Fit to Content, in the menu beside its button: the padding around the content, in
// points, millimetres or per cent of the page's side, and, for a batch, whether every page
// gets one rectangle of the same size. The choices are kept between runs.
//
// GUI thread only.
class ContentFitControls : public QWidget {
    Q_OBJECT

public:
    explicit ContentFitControls(QWidget* parent = nullptr);
    // New controls as the menu of button, which owns them.
    static ContentFitControls* inMenuOf(QToolButton& button);

    CropLength padding() const;
    void setPadding(const CropLength& padding);
    // "Same size for all", which only a batch fit uses: it is enabled in batch mode alone.
    bool sameSize() const;
    void setSameSize(bool sameSize);
    void setBatchMode(bool batch);

private:
    void remember() const;

    QDoubleSpinBox* padding_;
    QComboBox* unit_;
    QCheckBox* sameSize_;
};
