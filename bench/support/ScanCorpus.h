#pragma once

#include <QString>

// Generated documents of full-page scans, cached in the temporary folder: each page one
// JPEG image of noisy, paper-like content, every image different, as a scanner produces.
namespace ScanCorpus {

// A file of `pages` US Letter pages scanned at `dpi` dots per inch, whose images together
// come to about `megabytes` MB. Returns its path.
QString scanDocument(int pages, int megabytes, int dpi = 200);
// A file of `pages` US Letter pages that show `distinct` scans at `dpi` in turn, each scan's
// image stored once: a long scanned book's pages, measured one by one, in a file that does not
// take gigabytes. Returns its path.
QString repeatedScanDocument(int pages, int distinct, int dpi);

} // namespace ScanCorpus
