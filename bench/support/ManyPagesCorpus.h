#pragma once

#include <QString>

// Generated documents with very many small text pages, cached in the temporary folder so
// that repeated benchmark runs do not pay for generating them.
namespace ManyPagesCorpus {

// A file of `pages` US Letter text pages written with compressed object streams, as modern
// producers write large files. Every page has compressed content streams and resources (a
// font dictionary) of its own, so each page drawn brings objects and fonts of its own into a
// renderer. Returns its path.
QString textDocument(int pages);

} // namespace ManyPagesCorpus
