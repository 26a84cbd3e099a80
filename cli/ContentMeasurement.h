#pragma once

#include <QRectF>

#include <functional>
#include <map>
#include <vector>

class PdfDocument;

// Measures where pages' content is, as fit to content needs it, with the rasterizers the
// program draws with (in a render host when there is one).
namespace ContentMeasurement {

// Called after each page measured, with how many are done and how many there are.
using Progress = std::function<void(int done, int total)>;

// The page-space bounds of the content of pages (numbers from 1) of document, by page number;
// a page with no content, or whose content cannot be found, is left out.
std::map<qint64, QRectF> measure(const PdfDocument& document, const std::vector<qint64>& pages,
                                 const Progress& progress);

} // namespace ContentMeasurement
