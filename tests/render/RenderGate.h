#pragma once

#include "render/PageRasterizer.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

// Control over fake renders, for testing the render queue's own logic: each render records
// its page and then waits until the gate opens (or the render is cancelled), so a test
// decides exactly what is running while it acts.
class RenderGate {
public:
    // Renders that finish even when cancelled, like a renderer that checks too late.
    void ignoreCancellation();
    // Lets every waiting and future render finish.
    void open();
    // Blocks until count renders have started; false if that has not happened within a
    // minute, which only a broken queue explains.
    bool awaitStarted(std::size_t count);
    // Pages in the order their renders started.
    std::vector<int> startedPages() const;

    // A rasterizer whose renders pass through this gate. Pages from 0 to 9 render as a
    // picture of the requested size; other pages fail.
    std::unique_ptr<PageRasterizer> makeRasterizer();

private:
    class GatedRasterizer;

    PageRenderResult pass(const PageRenderRequest& request, std::stop_token stop);

    mutable std::mutex mutex_;
    std::condition_variable_any changed_;
    bool open_ = false;
    bool ignoreCancellation_ = false;
    std::vector<int> started_;
};
