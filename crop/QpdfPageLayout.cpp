#include "crop/QpdfPageLayout.h"

#include "crop/QpdfPageReader.h"

#include <qpdf/QPDF.hh>

#include <QPointF>

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>

namespace {

// Deep or cyclic /Parent chains end the walk to the root here.
constexpr int kMaxTreeDepth = 64;

std::vector<QPDFObjectHandle> annotationsOf(QPDFObjectHandle page) {
    if (!page.isDictionary())
        return {};
    QPDFObjectHandle annotations = page.getKey("/Annots");
    return annotations.isArray() ? annotations.getArrayAsVector() : std::vector<QPDFObjectHandle>();
}

std::optional<QPointF> middleOf(QPDFObjectHandle annotation) {
    if (!annotation.isDictionary())
        return std::nullopt;
    QPDFObjectHandle rect = annotation.getKey("/Rect");
    if (!rect.isRectangle())
        return std::nullopt;
    const auto r = rect.getArrayAsRectangle();
    const QPointF middle((r.llx + r.urx) / 2, (r.lly + r.ury) / 2);
    if (!std::isfinite(middle.x()) || !std::isfinite(middle.y()))
        return std::nullopt;
    return middle;
}

double distance(const QRectF& box, const QPointF& point) {
    const double dx = std::max({box.left() - point.x(), 0.0, point.x() - box.right()});
    const double dy = std::max({box.top() - point.y(), 0.0, point.y() - box.bottom()});
    return std::hypot(dx, dy);
}

// A popup belongs to the annotation it names as its parent.
bool isPopup(QPDFObjectHandle annotation) {
    return annotation.isDictionary() && annotation.getKey("/Parent").isIndirect();
}

// What a page inherits from the page tree, copied onto a new part: in a file rewritten with its
// tree made flat, the part no longer has the page's parents.
void inheritOnto(QPDFObjectHandle part, QPDFObjectHandle page) {
    for (const char* key : {"/Resources", "/MediaBox", "/CropBox", "/Rotate"}) {
        QPDFObjectHandle node = page;
        for (int depth = 0; depth < kMaxTreeDepth && node.isDictionary() && !part.hasKey(key);
             ++depth) {
            if (QPDFObjectHandle value = node.getKey(key); !value.isNull())
                part.replaceKey(key, value.isIndirect() ? value : value.shallowCopy());
            node = node.getKey("/Parent");
        }
    }
}

[[noreturn]] void unsupported(const char* why) {
    throw std::runtime_error(std::string("the pages cannot be laid out: ") + why);
}

} // namespace

bool QpdfPageLayout::keepsFileOrder(const std::vector<PageGeometry>& geometry,
                                    size_t filePageCount) {
    if (geometry.size() != filePageCount)
        return false;
    for (size_t i = 0; i < geometry.size(); ++i) {
        if (geometry[i].filePage != static_cast<int>(i))
            return false;
    }
    return true;
}

QpdfPageLayout::QpdfPageLayout(QPDF& pdf, const std::vector<QPDFObjectHandle>& filePages,
                               const std::vector<PageGeometry>& geometry)
    : filePages_(filePages), pages_(geometry.size()), isNew_(geometry.size(), false),
      changed_(geometry.size(), false), shownBy_(filePages.size(), {0, 0}) {
    int previous = -1;
    for (size_t i = 0; i < geometry.size(); ++i) {
        const int page = geometry[i].filePage;
        if (page < previous || page < 0 || page >= static_cast<int>(filePages.size()))
            unsupported("they are not the file's pages in order");
        auto& shown = shownBy_[static_cast<size_t>(page)];
        if (page != previous)
            shown.first = i;
        shown.second = i + 1;
        previous = page;
    }
    // Every page of the file is shown, or joined into one before it that is.
    if (geometry.empty() || geometry.front().filePage != 0)
        unsupported("the first page is missing");
    for (size_t page = 0; page < filePages.size(); ++page) {
        const auto [first, end] = shownBy_[page];
        // Only a part is joined into the page before it: any other page would be lost.
        if (first == end && !QpdfPageReader::read(filePages[page]).part)
            unsupported("a page that is no part would be left out");
        if (first == end)
            continue;
        QPDFObjectHandle source = filePages[page];
        pages_[first] = source;
        for (size_t i = first + 1; i < end; ++i) {
            if (!source.isDictionary())
                unsupported("a page split has no description in the file");
            QPDFObjectHandle part = source.shallowCopy();
            // Article beads and the structure tree's key point at the page split, and stay
            // with its first part: two pages under one key would confuse a reader.
            part.removeKey("/B");
            part.removeKey("/StructParents");
            inheritOnto(part, source);
            pages_[i] = pdf.makeIndirectObject(part);
            isNew_[i] = changed_[i] = true;
        }
        std::vector<QPDFObjectHandle> pool = annotationsOf(source);
        size_t joined = page + 1;
        for (; joined < filePages.size() && shownBy_[joined].first == shownBy_[joined].second;
             ++joined) {
            const std::vector<QPDFObjectHandle> more = annotationsOf(filePages[joined]);
            pool.insert(pool.end(), more.begin(), more.end());
        }
        if (end - first > 1 || joined > page + 1)
            shareAnnotations(first, end, pool, geometry);
    }
}

void QpdfPageLayout::shareAnnotations(size_t first, size_t end,
                                      const std::vector<QPDFObjectHandle>& pool,
                                      const std::vector<PageGeometry>& geometry) {
    const auto partFor = [&](QPDFObjectHandle annotation) {
        const auto middle = middleOf(annotation);
        if (!middle)
            return size_t(0);
        size_t nearest = 0;
        double nearestDistance = INFINITY;
        for (size_t i = first; i < end; ++i) {
            const double d = distance(geometry[i].box(PdfBox::Media), *middle);
            if (d < nearestDistance) {
                nearest = i - first;
                nearestDistance = d;
            }
        }
        return nearest;
    };
    std::vector<std::vector<QPDFObjectHandle>> parts(end - first);
    std::map<QPDFObjGen, size_t> placed;
    std::set<QPDFObjGen> seen;
    std::vector<QPDFObjectHandle> popups;
    for (QPDFObjectHandle annotation : pool) {
        // A page listing an annotation twice, or two pages joined listing one, show it once.
        if (annotation.isIndirect() && !seen.insert(annotation.getObjGen()).second)
            continue;
        if (isPopup(annotation)) {
            popups.push_back(annotation);
            continue;
        }
        const size_t part = partFor(annotation);
        parts[part].push_back(annotation);
        if (annotation.isIndirect())
            placed.emplace(annotation.getObjGen(), part);
    }
    for (QPDFObjectHandle popup : popups) {
        const auto parent = placed.find(popup.getKey("/Parent").getObjGen());
        parts[parent != placed.end() ? parent->second : partFor(popup)].push_back(popup);
    }
    for (size_t i = first; i < end; ++i) {
        QPDFObjectHandle page = pages_[i];
        std::vector<QPDFObjectHandle>& held = parts[i - first];
        if (held.empty())
            page.removeKey("/Annots");
        else
            page.replaceKey("/Annots", QPDFObjectHandle::newArray(held));
        changed_[i] = true;
        for (QPDFObjectHandle annotation : held) {
            if (!annotation.isDictionary() || !annotation.hasKey("/P"))
                continue;
            QPDFObjectHandle named = annotation.getKey("/P");
            if (named.isIndirect() && named.getObjGen() == page.getObjGen())
                continue;
            annotation.replaceKey("/P", page);
            if (annotation.isIndirect())
                movedAnnotations_.push_back(annotation);
        }
    }
}

std::vector<QPDFObjectHandle> QpdfPageLayout::placeInTree() const {
    // Each page of the file that does not stay as it is, by object, with the pages now in
    // its place; and the nodes that hold them.
    std::map<QPDFObjGen, std::vector<QPDFObjectHandle>> replaced;
    std::map<QPDFObjGen, std::pair<QPDFObjectHandle, size_t>> parents;
    for (size_t page = 0; page < filePages_.size(); ++page) {
        const auto [first, end] = shownBy_[page];
        if (end - first == 1)
            continue;
        QPDFObjectHandle object = filePages_[page];
        QPDFObjectHandle parent =
            object.isDictionary() ? object.getKey("/Parent") : QPDFObjectHandle::newNull();
        if (!object.isIndirect() || !parent.isIndirect() || !parent.isDictionary())
            unsupported("a page is not where its parent says");
        replaced.emplace(object.getObjGen(),
                         std::vector<QPDFObjectHandle>(pages_.begin() + static_cast<long>(first),
                                                       pages_.begin() + static_cast<long>(end)));
        auto& [node, count] = parents.try_emplace(parent.getObjGen(), parent, 0).first->second;
        ++count;
    }
    std::map<QPDFObjGen, QPDFObjectHandle> changed;
    for (auto& [id, held] : parents) {
        auto& [node, expected] = held;
        QPDFObjectHandle kids = node.getKey("/Kids");
        if (!kids.isArray())
            unsupported("a node of the page tree has no kids");
        std::vector<QPDFObjectHandle> newKids;
        long long delta = 0;
        size_t found = 0;
        for (QPDFObjectHandle kid : kids.getArrayAsVector()) {
            const auto place = kid.isIndirect() ? replaced.find(kid.getObjGen()) : replaced.end();
            if (place == replaced.end()) {
                newKids.push_back(kid);
                continue;
            }
            newKids.insert(newKids.end(), place->second.begin(), place->second.end());
            delta += static_cast<long long>(place->second.size()) - 1;
            ++found;
        }
        if (found != expected)
            unsupported("a page is not once under its parent");
        node.replaceKey("/Kids", QPDFObjectHandle::newArray(newKids));
        QPDFObjectHandle at = node;
        for (int depth = 0; at.isDictionary(); ++depth) {
            QPDFObjectHandle count = at.getKey("/Count");
            if (depth == kMaxTreeDepth || !at.isIndirect() || !count.isInteger())
                unsupported("the page tree's counts cannot be corrected");
            at.replaceKey("/Count", QPDFObjectHandle::newInteger(count.getIntValue() + delta));
            changed.emplace(at.getObjGen(), at);
            at = at.getKey("/Parent");
        }
    }
    std::vector<QPDFObjectHandle> nodes;
    for (auto& [id, node] : changed)
        nodes.push_back(node);
    return nodes;
}
