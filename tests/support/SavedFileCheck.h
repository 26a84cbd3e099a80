#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>

// The check that every test gives a PDF file the program wrote: the file must read as strict
// readers read it, with nothing to repair.
//
//  - qpdf's own check (`qpdf --check`, with `--password=` for an encrypted file) must exit
//    with 0 and print no warning: a file that qpdf reads only after repairing it fails.
//  - MuPDF, through the program's own renderer, must open it, find pageCount pages and draw
//    every one of them.
//
// Use it as EXPECT_TRUE(SavedFileCheck::readsCleanly(path, 3)); a failure says which reader
// objected and what it printed. password unlocks an encrypted file (user or owner password).
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
