#include "render/PageCompositor.h"

#include <algorithm>
#include <utility>

namespace {

// Blends page into picture, both top-left corners together, keeping the darker of each
// channel; what of page lies outside picture is left out.
void darken(QImage& picture, const QImage& page) {
    const QImage source =
        page.format() == picture.format() ? page : page.convertToFormat(picture.format());
    const int width = std::min(picture.width(), source.width());
    const int height = std::min(picture.height(), source.height());
    // Four bytes a pixel in both; the alpha byte of an opaque picture stays opaque.
    const auto bytes = static_cast<size_t>(width) * 4;
    for (int y = 0; y < height; ++y) {
        uchar* to = picture.scanLine(y);
        const uchar* from = source.constScanLine(y);
        for (size_t i = 0; i < bytes; ++i)
            to[i] = std::min(to[i], from[i]);
    }
}

QImage whitePicture(const QSize& size, qreal devicePixelRatio) {
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(Qt::white);
    picture.setDevicePixelRatio(devicePixelRatio);
    return picture;
}

} // namespace

PageCompositor::PageCompositor(QObject* parent)
    : QObject(parent), worker_([this](std::stop_token shutdown) { serve(std::move(shutdown)); }) {}

PageCompositor::~PageCompositor() = default;

quint64 PageCompositor::begin(const QSize& pixelSize, qreal devicePixelRatio) {
    push({++generation_, {}, pixelSize, devicePixelRatio}, true);
    return generation_;
}

void PageCompositor::add(quint64 generation, const QImage& page) {
    if (generation == generation_ && !page.isNull())
        push({generation, page, {}, 1.0}, false);
}

void PageCompositor::end() {
    push({++generation_, {}, {}, 1.0}, true);
}

void PageCompositor::push(Task task, bool dropQueued) {
    {
        std::lock_guard lock(mutex_);
        if (dropQueued)
            tasks_.clear();
        tasks_.push_back(std::move(task));
    }
    taskAdded_.notify_one();
}

void PageCompositor::serve(std::stop_token shutdown) {
    QImage picture;
    quint64 generation = 0;
    int pages = 0;
    while (true) {
        std::deque<Task> batch;
        {
            std::unique_lock lock(mutex_);
            if (!taskAdded_.wait(lock, shutdown, [this] { return !tasks_.empty(); }))
                return;
            batch.swap(tasks_);
        }
        bool blended = false;
        for (Task& task : batch) {
            if (task.page.isNull()) {
                generation = task.generation;
                picture =
                    task.size.isEmpty() ? QImage() : whitePicture(task.size, task.devicePixelRatio);
                pages = 0;
                blended = false;
            } else if (task.generation == generation && !picture.isNull()) {
                // The picture last handed over still shares these pixels; this detaches.
                darken(picture, task.page);
                ++pages;
                blended = true;
            }
        }
        if (blended) {
            QMetaObject::invokeMethod(
                this, [this, generation, picture, pages] { deliver(generation, picture, pages); },
                Qt::QueuedConnection);
        }
    }
}

void PageCompositor::deliver(quint64 generation, const QImage& picture, int pages) {
    if (generation == generation_)
        emit composed(picture, pages);
}
