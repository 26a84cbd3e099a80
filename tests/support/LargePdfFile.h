#pragma once

#include <QString>
#include <QtGlobal>

// What a large test file holds: one US Letter page with a red square in its middle, and one
// grey image, uncompressed, of about imageBytes.
struct LargePdfSpec {
    qint64 imageBytes = 0;
    // The page shows the image, over the whole page, under the square; otherwise the image is
    // only among its resources, and drawing the page never reads it.
    bool pageDrawsImage = false;
    // The image's bytes are left to the file system as a hole that reads as zeros (white, the
    // image is inverted), so the file takes no disk space and is made at once; otherwise they
    // are written, a pattern of grey bands.
    bool sparse = true;
    // A private string of this many bytes in the page dictionary, as applications leave their
    // data there; reading the page's dictionary takes memory of that order.
    qint64 pagePrivateBytes = 0;
};

// Writes large PDF files straight to disk, never holding them in memory, for tests and
// benchmarks of files of gigabytes.
namespace LargePdfFile {

// Writes spec's file at path; throws std::runtime_error when it cannot.
void write(const QString& path, const LargePdfSpec& spec);

} // namespace LargePdfFile
