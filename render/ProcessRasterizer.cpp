#include "render/ProcessRasterizer.h"

#include "render/RenderHostProtocol.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <algorithm>

namespace {

constexpr qint64 kStopCheckMs = 50;

QString tr(const char* text) {
    return QCoreApplication::translate("ProcessRasterizer", text);
}

} // namespace

ProcessRasterizer::ProcessRasterizer(PdfRenderSource source, QString hostPath, Limits limits)
    : source_(std::move(source)), hostPath_(std::move(hostPath)), limits_(limits),
      host_(source_.data.get()) {
    start();
}

ProcessRasterizer::~ProcessRasterizer() = default;

bool ProcessRasterizer::start() {
    if (!host_.start(hostPath_,
                     {QStringLiteral("--memory-mb"), QString::number(limits_.memoryMb)})) {
        openError_ = tr("The page renderer could not be started.");
        refused_ = true;
        return false;
    }
    int pages = 0;
    QString error;
    bool timedOut = false;
    const auto opened = host_.send(source_.password)
                            ? host_.receive(limits_.renderTimeoutMs, &timedOut)
                            : std::nullopt;
    if (!opened || !RenderHostProtocol::decodeOpened(*opened, &pages, &error) || pages <= 0) {
        host_.stop();
        refused_ = opened.has_value() || ++lostStarts_ >= 2;
        openError_ = opened && !error.isEmpty() ? error
                     : timedOut ? tr("Reading the document took too long, so the page "
                                     "renderer was stopped.")
                                : tr("The page renderer stopped while reading the document.");
        if (refused_)
            pageCount_ = 0;
        return false;
    }
    lostStarts_ = 0;
    pageCount_ = pages;
    return true;
}

PageRenderResult ProcessRasterizer::render(const PageRenderRequest& request, std::stop_token stop) {
    if (stop.stop_requested())
        return PageRenderResult::cancellation();
    // A host lost on an earlier page, or while reading the document, is started again for
    // this one.
    if (!host_.isRunning() && (refused_ || !start()))
        return refused_ ? PageRenderResult::failure(openError_)
                        : PageRenderResult::lostRenderer(openError_);
    if (!host_.send(RenderHostProtocol::encodeRequest(request))) {
        host_.stop();
        return PageRenderResult::lostRenderer(tr("The page renderer stopped while drawing page "
                                                 "%1: the page may be damaged.")
                                                  .arg(request.pageIndex + 1));
    }
    bool timedOut = false;
    const auto answer = awaitAnswer(stop, &timedOut);
    if (!answer && stop.stop_requested())
        return PageRenderResult::cancellation();
    const auto result = answer ? RenderHostProtocol::decodeResult(*answer) : std::nullopt;
    if (result)
        return *result;
    host_.stop();
    return PageRenderResult::lostRenderer(
        timedOut
            ? tr("Drawing page %1 took too long, so it was stopped.").arg(request.pageIndex + 1)
            : tr("The page renderer stopped while drawing page %1: the page may be "
                 "damaged.")
                  .arg(request.pageIndex + 1));
}

std::optional<QByteArray> ProcessRasterizer::awaitAnswer(std::stop_token stop, bool* timedOut) {
    // Waiting in short steps, so that work nobody wants any more, as when its window closes,
    // ends the host at once instead of holding the window for the time limit.
    *timedOut = true;
    for (QDeadlineTimer deadline(limits_.renderTimeoutMs); !deadline.hasExpired();) {
        if (stop.stop_requested()) {
            host_.stop();
            *timedOut = false;
            return std::nullopt;
        }
        if (host_.waitForAnswer(int(std::min<qint64>(deadline.remainingTime(), kStopCheckMs)))) {
            *timedOut = false;
            return host_.receive(limits_.renderTimeoutMs, timedOut);
        }
    }
    return std::nullopt;
}

std::optional<QRectF> ProcessRasterizer::contentBounds(int pageIndex,
                                                       const ContentBoundsOptions& options,
                                                       std::stop_token stop) {
    if (!host_.isRunning() && (refused_ || !start()))
        return std::nullopt;
    bool timedOut = false;
    const auto answer = host_.send(RenderHostProtocol::encodeBoundsRequest(pageIndex, options))
                            ? awaitAnswer(stop, &timedOut)
                            : std::nullopt;
    if (const auto bounds = answer ? RenderHostProtocol::decodeBounds(*answer) : std::nullopt)
        return *bounds;
    host_.stop();
    return std::nullopt;
}
