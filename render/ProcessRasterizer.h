#pragma once

#include "crop/PdfRenderSource.h"
#include "render/PageContentMeasurer.h"
#include "render/PageRasterizer.h"
#include "render/RenderHostProcess.h"

#include <QString>

// Draws pages in a render host process (see RenderHost), so that a page that crashes the
// renderer, loops in it or takes all memory ends only that process: the page comes back as a
// failure that says what happened, and the next request starts a new host.
//
// Thread: as PageRasterizer. Each instance has its own host.
class ProcessRasterizer final : public PageRasterizer, public PageContentMeasurer {
public:
    struct Limits {
        // How long one page may take before the host is stopped.
        int renderTimeoutMs = 30000;
        // The memory the host may allocate (see RenderHost::run).
        int memoryMb = 4096;
    };

    // hostPath: the render host executable. Starts the host and learns the page count.
    ProcessRasterizer(PdfRenderSource source, QString hostPath, Limits limits);
    ProcessRasterizer(PdfRenderSource source, QString hostPath)
        : ProcessRasterizer(std::move(source), std::move(hostPath), Limits()) {}
    ~ProcessRasterizer() override;

    ProcessRasterizer(const ProcessRasterizer&) = delete;
    ProcessRasterizer& operator=(const ProcessRasterizer&) = delete;

    PageRenderResult render(const PageRenderRequest& request, std::stop_token stop) override;
    int pageCount() const override { return pageCount_; }
    // Measured in the host; nothing when the host fails on the page.
    using PageContentMeasurer::contentBounds;
    std::optional<QRectF> contentBounds(int pageIndex, const ContentBoundsOptions& options,
                                        std::stop_token stop) override;
    // The running host's process id, or 0.
    pid_t hostProcess() const { return host_.processId(); }

private:
    // Starts a host; false (with openError_ set) when it cannot start or open the document.
    // refused_ tells whether that is final: a host that stopped or stalled while reading may
    // read the document when started again, one that answered with an error will not, nor
    // will a second host in a row that fails as the first did.
    bool start();
    // The host's answer to the request just sent; nothing, with the host stopped, when stop
    // is requested first, and nothing with timedOut set when the time limit passes.
    std::optional<QByteArray> awaitAnswer(std::stop_token stop, bool* timedOut);

    PdfRenderSource source_;
    const QString hostPath_;
    const Limits limits_;
    RenderHostProcess host_;
    int pageCount_ = 0;
    QString openError_;
    bool refused_ = false;
    int lostStarts_ = 0;
};
