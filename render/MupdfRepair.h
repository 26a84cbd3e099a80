#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

// Damaged PDF files that MuPDF can still read, written out again whole.
//
// MuPDF rebuilds a broken or missing cross-reference table by scanning the file for its
// objects, and finds a document that starts later than other readers look. Its copy is a
// clean file that the document services can open.
namespace MupdfRepair {

// The repaired copy of bytes; nothing when MuPDF cannot read a page of them either, or they
// need a password. Any thread.
std::optional<QByteArray> repairedCopy(QByteArrayView bytes);

} // namespace MupdfRepair
