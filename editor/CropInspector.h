#pragma once

#include "crop/CropLength.h"

#include <QRectF>
#include <QSizeF>
#include <QWidget>

#include <array>

class QComboBox;
class QDoubleSpinBox;
class QLabel;

// The current page's crop as numbers the user can read and type: either its four margins
// (left, top, right, bottom) or its position and size (x, y, width, height), in points,
// millimetres, inches or per cent of the page's side. The choice of numbers and unit is kept
// between runs.
//
// Everything is in the page's display space: the page as displayed (turned by its rotation),
// in points, origin at its lower-left corner, y upward.
//
// A value is committed, and reported through cropEdited, when the user presses Return, leaves
// the field, or steps it with the arrows, the wheel or the keyboard: the moments a user means
// a number, so each report can be one undoable step, never one a keystroke. The reported crop
// is built from the value as typed and the crop as last shown (not from the rounded numbers
// in the other fields), so that a typed 20 mm is exactly 20 mm. It lies within the page and
// is never inverted: a margin or size that would cross the opposite edge or leave the page
// stops there; a position is kept as typed (within the page), and the width or height gives
// way so the crop ends at the page's edge.
//
// GUI thread only.
class CropInspector : public QWidget {
    Q_OBJECT

public:
    enum class Mode { Margins, PositionAndSize };

    explicit CropInspector(QWidget* parent = nullptr);

    // Shows the crop of a page of the given displayed size, without reporting anything. Cheap
    // enough to call on every step of a drag; a field the user is typing in keeps what has
    // been typed until it is committed or left.
    void showCrop(const QSizeF& displayedPage, const QRectF& displayCrop);

    Mode mode() const;
    void setMode(Mode mode);
    CropLength::Unit unit() const;
    void setUnit(CropLength::Unit unit);

signals:
    // A value was committed; displayCrop is the page's new crop in display space.
    void cropEdited(const QRectF& displayCrop);

protected:
    // The window's Undo and Redo keys work in the fields too: a field's own undo would only
    // retype a number, and each committed number is a step of the window's.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The field's value in points: field 0 and 2 run across the page, 1 and 3 up it.
    double pointsOf(int field) const;
    double sideOf(int field) const;
    // Labels, tooltips, decimals, steps and ranges for the mode, unit and page size.
    void configureFields();
    // The crop's numbers in every field but one the user is typing in.
    void showValues();
    void commit(int field, double value);
    void remember() const;

    QComboBox* mode_;
    QComboBox* unit_;
    std::array<QLabel*, 4> labels_{};
    std::array<QDoubleSpinBox*, 4> fields_{};
    std::array<bool, 4> typing_{};
    QSizeF page_;
    QRectF crop_;
};
