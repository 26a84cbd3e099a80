#pragma once

#include "crop/PagesRead.h"
#include "render/PageRenderRequest.h"
#include "render/PageRenderResult.h"

#include <QByteArray>

#include <optional>

// What the program and its render host say to each other over a pair of pipes: length-framed
// messages of Qt's data stream. Drawing, the host first answers the page count of the document
// it was given (or why it cannot open it), then one result for every request, in order;
// reading pages or repairing, it answers once.
namespace RenderHostProtocol {

// Writes one message; false when the other side is gone.
bool writeFrame(int fd, const QByteArray& payload);
// Reads one message, waiting at most timeoutMs (-1: no limit); nothing when the other side is
// gone, sent something malformed or did not answer in time (timedOut is then set).
std::optional<QByteArray> readFrame(int fd, int timeoutMs, bool* timedOut = nullptr);

QByteArray encodeOpened(int pageCount, const QString& error);
bool decodeOpened(const QByteArray& payload, int* pageCount, QString* error);

QByteArray encodeRequest(const PageRenderRequest& request);
std::optional<PageRenderRequest> decodeRequest(const QByteArray& payload);

QByteArray encodeResult(const PageRenderResult& result);
std::optional<PageRenderResult> decodeResult(const QByteArray& payload);

QByteArray encodePages(const PagesRead& read);
std::optional<PagesRead> decodePages(const QByteArray& payload);

// Bytes that may be missing (a repaired copy, or none).
QByteArray encodeBytes(const std::optional<QByteArray>& bytes);
std::optional<std::optional<QByteArray>> decodeBytes(const QByteArray& payload);

} // namespace RenderHostProtocol
