#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>

// The check that every test gives a PDF file the program wrote: qpdf's own check (`qpdf
// --check`) must pass without a warning, so a file qpdf reads only after repairing it fails; and
// MuPDF, through the program's renderer, must find pageCount pages and draw each one. password
// unlocks an encrypted file. A failure says which reader objected and what it printed.
namespace SavedFileCheck {

testing::AssertionResult readsCleanly(const QString& path, int pageCount,
                                      const QByteArray& password = {});

// For a file saved from source, a file that is itself damaged: the saved file may carry the
// damage on (a broken content stream stays broken) but adds none, and reopens with pageCount
// pages. From an undamaged source, as readsCleanly().
testing::AssertionResult readsNoWorseThan(const QString& path, const QString& source,
                                          int pageCount);
// The same for bytes made in memory (dataRepresentation), checked as a temporary file.
testing::AssertionResult bytesReadCleanly(const QByteArray& bytes, int pageCount,
                                          const QByteArray& password = {});

} // namespace SavedFileCheck
