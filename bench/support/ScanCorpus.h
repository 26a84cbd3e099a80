#pragma once

#include <QString>

// Generated documents of full-page scans, cached in the temporary folder: each page one
// JPEG image of noisy, paper-like content, every image different, as a scanner produces.
namespace ScanCorpus {

// A file of `pages` US Letter pages scanned at `dpi` dots per inch, whose images together
// come to about `megabytes` MB. Returns its path.
QString scanDocument(int pages, int megabytes, int dpi = 200);

} // namespace ScanCorpus
