#pragma once

#include "crop/PagesRead.h"
#include "crop/SaveJob.h"
#include "render/PageContentMeasurer.h"
#include "render/PageRenderRequest.h"
#include "render/PageRenderResult.h"

#include <QByteArray>

#include <optional>

// What the program and its render host say to each other, requests over a socket and answers
// over a pipe: length-framed messages of Qt's data stream, and between requests a descriptor
// handed over. Drawing, the host first answers the page count of the document
// it was given (or why it cannot open it), then one result for every request, in order;
// reading pages or repairing, it answers once.
namespace RenderHostProtocol {

// Writes one message; false when the other side is gone.
bool writeFrame(int fd, const QByteArray& payload);
// Reads one message, waiting at most timeoutMs (-1: no limit); nothing when the other side is
// gone, sent something malformed or did not answer in time (timedOut is then set).
std::optional<QByteArray> readFrame(int fd, int timeoutMs, bool* timedOut = nullptr);
// Hands a descriptor of fd over the socket; false when the other side is gone.
bool sendDescriptor(int socket, int fd);
// The descriptor sendDescriptor() handed over next on socket, waiting for it as long as it
// takes; -1 when the other side is gone or sent something else.
int receiveDescriptor(int socket);

QByteArray encodeOpened(int pageCount, const QString& error);
bool decodeOpened(const QByteArray& payload, int* pageCount, QString* error);

// Drawing, a request is a page to draw or a page whose content to measure.
QByteArray encodeRequest(const PageRenderRequest& request);
std::optional<PageRenderRequest> decodeRequest(const QByteArray& payload);
QByteArray encodeBoundsRequest(int pageIndex, const ContentBoundsOptions& options);
// Whether payload asks for content bounds, and which.
bool decodeBoundsRequest(const QByteArray& payload, int* pageIndex, ContentBoundsOptions* options);
QByteArray encodeBounds(const std::optional<QRectF>& bounds);
std::optional<std::optional<QRectF>> decodeBounds(const QByteArray& payload);

QByteArray encodeResult(const PageRenderResult& result);
std::optional<PageRenderResult> decodeResult(const QByteArray& payload);

QByteArray encodePages(const PagesRead& read);
std::optional<PagesRead> decodePages(const QByteArray& payload);

// A save: the job's pages, which of their boxes were set and the user's choices (its data and
// password the host has already); then, from the host, messages that say how many more pages
// were written and a last one with the outcome.
QByteArray encodeSaveJob(const SaveJob& job);
// Fills in job's pages, set boxes and choices.
bool decodeSaveJob(const QByteArray& payload, SaveJob* job);
QByteArray encodePagesWritten(int count);
// The outcome, with pagesWritten 0, or for a pages-written message their number (outcome is
// then untouched).
bool decodeSaveEvent(const QByteArray& payload, int* pagesWritten, SaveOutcome* outcome);
QByteArray encodeSaveOutcome(const SaveOutcome& outcome);

// Whether the copy asked for (rewritten or repaired) is in the host's output file; a copy may
// be larger than any message.
QByteArray encodeCopyWritten(bool written);
std::optional<bool> decodeCopyWritten(const QByteArray& payload);

} // namespace RenderHostProtocol
