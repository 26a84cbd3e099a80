#pragma once

#include "crop/PageSplit.h"

#include <QDialog>

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QSpinBox;

// The sheet in which the user chooses how pages are split: across, down or into a grid, into
// how many parts, read in which order, and the gap dropped across each line between parts. It
// stays open beside the page, so that the split's lines can be seen and dragged there
// (setLines); "Split" accepts it, and Cancel or Escape closes it. It keeps its choices for
// the next time it opens.
//
// GUI thread only.
class SplitPagesSheet : public QDialog {
    Q_OBJECT

public:
    explicit SplitPagesSheet(QWidget* parent);

    // The split as chosen.
    PageSplit split() const { return split_; }
    // Lines placed by hand, in points from the edge the lines are measured from; none gives
    // equal parts again.
    void setLines(const std::vector<CropLength>& lines);

signals:
    // Any choice changed, a line moved included.
    void splitChanged();

private:
    enum Kind { Across, Down, Grid };

    // The split from the controls; lines placed by hand go when the parts change.
    void readControls();
    void showState();

    PageSplit split_;
    QComboBox* kind_;
    QLabel* columnsLabel_;
    QSpinBox* columns_;
    QLabel* rowsLabel_;
    QSpinBox* rows_;
    QComboBox* order_;
    QDoubleSpinBox* gap_;
    QPushButton* evenParts_;
    QPushButton* splitButton_;
};
