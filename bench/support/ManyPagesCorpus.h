#pragma once

#include <QString>

// Generated documents with very many small text pages, cached in the temporary folder so
// that repeated benchmark runs do not pay for generating them.
namespace ManyPagesCorpus {

// A file of `pages` US Letter text pages written with compressed object streams, as modern
// producers write large files. Returns its path.
QString textDocument(int pages);

} // namespace ManyPagesCorpus
