#pragma once

#include <QRectF>

#include <functional>
#include <map>
#include <memory>
#include <vector>

class PdfDocument;
class RenderWorkplace;

// Measures where pages' content is, as fit to content needs it, with the rasterizers the
// program draws with, in its render workplace.
namespace ContentMeasurement {

// Called after each page measured, with how many are done and how many there are.
using Progress = std::function<void(int done, int total)>;

// The page-space bounds of the content of pages (numbers from 1) of document, by page number,
// each within what it shows of its file page (for a part of a page split, the part); a page
// with no content, or whose content cannot be found, is left out.
std::map<qint64, QRectF> measure(const PdfDocument& document,
                                 std::shared_ptr<const RenderWorkplace> workplace,
                                 const std::vector<qint64>& pages, const Progress& progress);

} // namespace ContentMeasurement
