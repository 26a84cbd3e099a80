#include "range/JYEqualCellSpaceFlowLayout.h"

#include "platform/CollectionView.h"

JYEqualCellSpaceFlowLayout::JYEqualCellSpaceFlowLayout(QObject* parent)
    : JYEqualCellSpaceFlowLayout(Centred, 5.0, parent) {}

JYEqualCellSpaceFlowLayout::JYEqualCellSpaceFlowLayout(qint64 type, double betweenOfCell,
                                                       QObject* parent)
    : CollectionViewFlowLayout(parent), cellType_(type), betweenOfCell_(betweenOfCell) {
    minimumLineSpacing = 5.0;
    minimumInteritemSpacing = betweenOfCell;
    sectionInset = QMarginsF(5, 5, 5, 5);
}

void JYEqualCellSpaceFlowLayout::setBetweenOfCell(double spacing) {
    betweenOfCell_ = spacing;
    minimumInteritemSpacing = spacing;
}

std::vector<CollectionViewLayoutAttributes>
JYEqualCellSpaceFlowLayout::layoutAttributesForElementsInRect(const QRectF& rect) const {
    return respaced(CollectionViewFlowLayout::layoutAttributesForElementsInRect(rect));
}

std::vector<CollectionViewLayoutAttributes>
JYEqualCellSpaceFlowLayout::respaced(std::vector<CollectionViewLayoutAttributes> attributes) const {
    std::vector<CollectionViewLayoutAttributes*> line;
    double sumCellWidth = 0;
    const auto bottomOf = [&](size_t i) {
        return i < attributes.size() ? attributes[i].frame.bottom() : 0.0;
    };
    for (size_t i = 0; i < attributes.size(); ++i) {
        CollectionViewLayoutAttributes& cell = attributes[i];
        line.push_back(&cell);
        sumCellWidth += cell.frame.width();
        const double y = cell.frame.bottom();
        const double yPrevious = i > 0 ? bottomOf(i - 1) : 0.0;
        const double yNext = bottomOf(i + 1);
        if (y == yNext)
            continue; // the line goes on
        if (y != yPrevious && !cell.isItem()) {
            // A header or footer alone on its line stays where it is.
            line.clear();
            sumCellWidth = 0;
            continue;
        }
        if (cellType_ == Left || cellType_ == Centred || cellType_ == Right) {
            setCellFrameWith(line, sumCellWidth);
            line.clear();
            sumCellWidth = 0;
        }
    }
    return attributes;
}

void JYEqualCellSpaceFlowLayout::setCellFrameWith(
    const std::vector<CollectionViewLayoutAttributes*>& line, double sumCellWidth) const {
    const double s = betweenOfCell_;
    if (cellType_ == Right) {
        double x = viewWidth() - sectionInset.right();
        for (auto cell = line.rbegin(); cell != line.rend(); ++cell) {
            (*cell)->frame.moveLeft(x - (*cell)->frame.width());
            x -= (*cell)->frame.width() + s;
        }
        return;
    }
    double x = cellType_ == Left ? sectionInset.left()
                                 : (viewWidth() - sumCellWidth - s * double(line.size() - 1)) * 0.5;
    for (CollectionViewLayoutAttributes* cell : line) {
        cell->frame.moveLeft(x);
        x += s + cell->frame.width();
    }
}

double JYEqualCellSpaceFlowLayout::viewWidth() const {
    return collectionView() ? collectionView()->viewport()->width() : 0.0;
}
