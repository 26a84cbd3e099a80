#pragma once

#include "crop/PageSplit.h"
#include "crop/RMCropInfo.h"

#include <QWidget>

#include <optional>

// The lines of a split drawn over the page view while the split sheet is open: each part of
// what the page keeps outlined and the gaps between them shaded. The lines between columns (or,
// with one column, between rows) can be dragged; a drag places them for every page split, in
// points from the kept part's left (or top) edge, and says so with linesMoved().
//
// It lies over the whole page view, which it follows in size, and takes the pointer while it
// is shown: the crop marker rests while the split is chosen.
//
// GUI thread only.
class SplitLinesView : public QWidget {
    Q_OBJECT

public:
    // Lies over pageView, hidden until shown.
    explicit SplitLinesView(QWidget& pageView);

    // Shows split over the page the view shows, whose record is record.
    void showSplit(const PageSplit& split, const RMCropInfo& record);

signals:
    void linesMoved(const std::vector<CropLength>& lines);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // The kept part of the page, in display space.
    QRectF kept() const;
    // Where the lines that can be dragged are, in points from the kept part's left or top edge.
    std::vector<double> lines() const;
    // A display-space point in the view's pixels, and a pixel's distance along the lines'
    // direction in points from the kept part's edge.
    QPointF toPixels(const QPointF& point) const;
    double alongKept(const QPointF& pixel) const;
    // The line within reach of pixel; nothing when none is.
    std::optional<size_t> lineAt(const QPointF& pixel) const;

    PageSplit split_;
    RMCropInfo record_;
    std::optional<size_t> dragged_;
};
