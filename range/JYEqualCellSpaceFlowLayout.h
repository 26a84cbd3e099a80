#pragma once

#include "platform/CollectionViewFlowLayout.h"

#include <vector>

// A flow layout that keeps the lines of the plain flow layout but spaces the cells of every
// line exactly betweenOfCell apart, the line as a whole aligned left, centred or right.
//
// Cells are on one line when the bottoms of their frames are exactly equal, so neighbours of
// different heights count as lines of their own. A header or footer on a line of its own is
// left where it is. Left alignment starts at the section's left inset, right alignment ends
// at the view's width less the right inset, and centring uses the view's width alone.
//
// GUI thread only.
class JYEqualCellSpaceFlowLayout : public CollectionViewFlowLayout {
    Q_OBJECT

public:
    // Alignments of a line; any other value leaves the plain flow layout's places.
    enum CellType : qint64 { Left = 0, Centred = 1, Right = 2 };

    // Centred, 5 apart.
    explicit JYEqualCellSpaceFlowLayout(QObject* parent = nullptr);
    JYEqualCellSpaceFlowLayout(qint64 type, double betweenOfCell, QObject* parent = nullptr);

    qint64 cellType() const { return cellType_; }
    void setCellType(qint64 type) { cellType_ = type; }
    double betweenOfCell() const { return betweenOfCell_; }
    // Also the smallest gap the plain flow layout keeps between cells when it breaks lines.
    void setBetweenOfCell(double spacing);

    std::vector<CollectionViewLayoutAttributes>
    layoutAttributesForElementsInRect(const QRectF& rect) const override;
    // The plain layout's attributes, each line placed again as described above.
    std::vector<CollectionViewLayoutAttributes>
    respaced(std::vector<CollectionViewLayoutAttributes> attributes) const;

private:
    // Places the cells of one line; sumCellWidth is the sum of their widths.
    void setCellFrameWith(const std::vector<CollectionViewLayoutAttributes*>& line,
                          double sumCellWidth) const;
    double viewWidth() const;

    qint64 cellType_;
    double betweenOfCell_;
};
