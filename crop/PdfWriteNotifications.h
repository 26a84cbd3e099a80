#pragma once

#include <QString>

// Names of the notifications a document posts while it produces its bytes.
namespace PdfWriteNotifications {
inline const QString didBeginWrite = QStringLiteral("PDFDocumentDidBeginWriteNotification");
inline const QString didEndPageWrite = QStringLiteral("PDFDocumentDidEndPageWriteNotification");
inline const QString didEndWrite = QStringLiteral("PDFDocumentDidEndWriteNotification");
} // namespace PdfWriteNotifications
