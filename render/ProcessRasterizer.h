#pragma once

#include "crop/PdfRenderSource.h"
#include "render/PageRasterizer.h"

#include <QString>

#include <sys/types.h>

// Draws pages in a render host process (see RenderHost), so that a page that crashes the
// renderer, loops in it or takes all memory ends only that process: the page comes back as a
// failure that says what happened, and the next request starts a new host.
//
// The host reads the document's bytes itself: the open file (by its descriptor, so a file
// renamed meanwhile is still the one opened), or a copy of bytes held in memory.
//
// Thread: as PageRasterizer. Each instance has its own host.
class ProcessRasterizer final : public PageRasterizer {
public:
    struct Limits {
        // How long one page may take before the host is stopped.
        int renderTimeoutMs = 30000;
        // The address space the host may take.
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
    // The running host's process id, or 0.
    pid_t hostProcess() const { return pid_; }

private:
    // Starts a host; false (with openError_ set) when it cannot start or open the document.
    bool start();
    // Stops the host, by force if need be.
    void stop();

    PdfRenderSource source_;
    const QString hostPath_;
    const Limits limits_;
    // The document's bytes as the host reads them: the open file or a copy in memory.
    int documentFd_ = -1;
    pid_t pid_ = 0;
    int toHost_ = -1;
    int fromHost_ = -1;
    int pageCount_ = 0;
    QString openError_;
};
