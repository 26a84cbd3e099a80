#pragma once

#include <QString>

// Generated documents of one page that shows one large uncompressed image, cached in the
// temporary folder: files of gigabytes, as scans at print resolution or posters come.
namespace LargeImageCorpus {

// A file of about `gigabytes` GiB, its image's bytes written out (no holes), made by
// streaming them to disk. Returns its path.
QString imageDocument(int gigabytes);

} // namespace LargeImageCorpus
