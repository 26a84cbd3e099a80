#pragma once

#include <QString>

#include <functional>
#include <vector>

class QPDF;
class QPDFObjectHandle;

// The cache of generated benchmark documents in the temporary folder.
namespace CorpusFile {

// The cached document called name, made first by make when it is not there yet. make adds
// the pages (dictionaries without /Parent) to the given document; they are put in one page
// tree and written beside the final path, then renamed, so an interrupted run leaves no
// broken file behind.
QString cached(const QString& name, bool objectStreams,
               const std::function<std::vector<QPDFObjectHandle>(QPDF&)>& make);

} // namespace CorpusFile
