#include "platform/CollectionViewFlowLayout.h"
#include "platform/CollectionView.h"
#include "platform/CollectionViewDelegate.h"

#include <algorithm>

namespace {

// Lets an item that is exactly as wide as the room left stay on its line despite rounding in
// the running sum of widths and spacings.
constexpr double kFitTolerance = 1e-6;

} // namespace

struct CollectionViewFlowLayout::Cache {
    // What the frames were computed from, besides the rows and their sizes.
    struct Basis {
        double width = 0;
        QSizeF itemSize;
        double lineSpacing = 0;
        double interitemSpacing = 0;
        QMarginsF inset;

        bool operator==(const Basis&) const = default;
    };
    struct Line {
        double top = 0;
        double bottom = 0;
        int firstItem = 0;
    };
    struct Section {
        double top = 0;
        double bottom = 0;
        std::vector<QRectF> frames;
        std::vector<Line> lines; // top to bottom
    };

    bool valid = false;
    Basis basis;
    std::vector<Section> sections;
    QSizeF contentSize;
};

CollectionViewFlowLayout::CollectionViewFlowLayout(QObject* parent)
    : QObject(parent), cache_(std::make_unique<Cache>()) {}

CollectionViewFlowLayout::~CollectionViewFlowLayout() = default;

void CollectionViewFlowLayout::invalidateLayout() {
    cache_->valid = false;
    emit invalidated();
}

QSizeF CollectionViewFlowLayout::collectionViewContentSize() const {
    return cache().contentSize;
}

const CollectionViewFlowLayout::Cache& CollectionViewFlowLayout::cache() const {
    const double width = collectionView_ ? collectionView_->viewport()->width() : 0;
    const Cache::Basis basis{width, itemSize, minimumLineSpacing, minimumInteritemSpacing,
                             sectionInset};
    if (cache_->valid && cache_->basis == basis)
        return *cache_;
    const int sectionCount = collectionView_ ? collectionView_->numberOfSections() : 0;
    cache_->sections.assign(sectionCount, {});
    double top = 0;
    for (int section = 0; section < sectionCount; ++section) {
        layoutSection(section, top, width);
        top = cache_->sections[section].bottom;
    }
    cache_->contentSize = QSizeF(width, top);
    cache_->basis = basis;
    cache_->valid = true;
    return *cache_;
}

void CollectionViewFlowLayout::layoutSection(int section, double top, double width) const {
    Cache::Section& out = cache_->sections[section];
    out.top = out.bottom = top;
    const int count = collectionView_->numberOfItemsInSection(section);
    if (count == 0)
        return;
    CollectionViewDelegate* delegate = collectionView_->delegate();
    // The view hands out this very layout, but without const, as the delegate's signature wants.
    CollectionViewFlowLayout* self = collectionView_->collectionViewLayout();
    out.frames.resize(count);
    for (int item = 0; item < count; ++item) {
        const QSizeF size =
            delegate ? delegate->sizeForItemAtIndexPath(collectionView_, self, {section, item})
                     : itemSize;
        out.frames[item].setSize(size.expandedTo(QSizeF(0, 0)));
    }
    const double left = sectionInset.left();
    const double right = width - sectionInset.right();
    double y = top + sectionInset.top();
    for (int first = 0; first < count;) {
        double x = left;
        double height = 0;
        int end = first;
        for (; end < count; ++end) {
            QRectF& frame = out.frames[end];
            if (end > first && x + frame.width() > right + kFitTolerance)
                break;
            frame.moveLeft(x);
            x += frame.width() + minimumInteritemSpacing;
            height = std::max(height, frame.height());
        }
        for (int item = first; item < end; ++item)
            out.frames[item].moveTop(y + (height - out.frames[item].height()) / 2);
        out.lines.push_back({y, y + height, first});
        y += height + minimumLineSpacing;
        first = end;
    }
    out.bottom = y - minimumLineSpacing + sectionInset.bottom();
}

std::vector<CollectionViewLayoutAttributes>
CollectionViewFlowLayout::layoutAttributesForElementsInRect(const QRectF& rect) const {
    std::vector<CollectionViewLayoutAttributes> result;
    const Cache& layout = cache();
    for (int section = 0; section < int(layout.sections.size()); ++section) {
        const Cache::Section& s = layout.sections[section];
        if (s.bottom <= rect.top() || s.top >= rect.bottom())
            continue;
        auto line = std::partition_point(s.lines.begin(), s.lines.end(), [&](const Cache::Line& l) {
            return l.bottom <= rect.top();
        });
        for (; line != s.lines.end() && line->top < rect.bottom(); ++line) {
            const auto next = std::next(line);
            const int end = next == s.lines.end() ? int(s.frames.size()) : next->firstItem;
            for (int item = line->firstItem; item < end; ++item) {
                if (s.frames[item].intersects(rect))
                    result.push_back({{section, item}, s.frames[item], {}});
            }
        }
    }
    return result;
}

std::optional<CollectionViewLayoutAttributes>
CollectionViewFlowLayout::layoutAttributesForItemAtIndexPath(const IndexPath& indexPath) const {
    const Cache& layout = cache();
    if (indexPath.section < 0 || indexPath.section >= int(layout.sections.size()))
        return std::nullopt;
    const auto& frames = layout.sections[indexPath.section].frames;
    if (indexPath.item < 0 || indexPath.item >= int(frames.size()))
        return std::nullopt;
    return CollectionViewLayoutAttributes{indexPath, frames[indexPath.item], {}};
}
