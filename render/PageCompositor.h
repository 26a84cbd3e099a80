#pragma once

#include <QImage>
#include <QObject>
#include <QSize>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <stop_token>
#include <thread>

// Blends page pictures into one picture on a thread of its own, so that the GUI thread never
// spends time on pixels of pages it does not show.
//
// Each page is laid with its top-left corner on the picture's top-left corner and blended by
// the darker of each colour channel: paper is white, so wherever one page has ink it shows
// at its full strength whatever other pages lie under or over it, and no page's paper hides
// another page's ink. The result is the same in any order the pages come in, and unlike
// multiplying, a hundred pages of grey antialiasing do not add up to a black smear.
//
// Each picture begun has a generation of its own; pages and pictures of any other generation
// are dropped, so a page that arrives late for a picture already given up never reaches a
// newer one.
//
// Thread: the compositor lives on the GUI thread (the thread that created it); every method
// is called there, and composed() is emitted there.
class PageCompositor : public QObject {
    Q_OBJECT

public:
    explicit PageCompositor(QObject* parent = nullptr);
    // Waits for the blend under way.
    ~PageCompositor() override;

    // Starts a new picture, white, pixelSize device pixels at devicePixelRatio, and returns its
    // generation. Whatever is still queued for earlier pictures is dropped. An empty size
    // gives no picture at all.
    quint64 begin(const QSize& pixelSize, qreal devicePixelRatio);
    // Blends page into the picture of generation; composed() follows.
    void add(quint64 generation, const QImage& page);
    // Drops the picture and everything queued for it: nothing is composed until the next
    // begin().
    void end();

signals:
    // The picture last begun, with `pages` pages blended into it. Pages that come in while a
    // blend is under way are blended together before the next picture is handed over.
    void composed(const QImage& picture, int pages);

private:
    // A page to blend; a task without a page starts a new picture of size (an empty size
    // ends the picture).
    struct Task {
        quint64 generation = 0;
        QImage page;
        QSize size;
        qreal devicePixelRatio = 1.0;
    };

    void push(Task task, bool dropQueued);
    // Worker thread: blends tasks until the compositor shuts down.
    void serve(std::stop_token shutdown);
    // GUI thread: emits picture if its generation is still the latest.
    void deliver(quint64 generation, const QImage& picture, int pages);

    // GUI thread only: the generation of the picture last begun, or of the last end().
    quint64 generation_ = 0;

    // Shared with the worker.
    std::mutex mutex_;
    std::condition_variable_any taskAdded_;
    std::deque<Task> tasks_;

    // Last member: the worker stops and joins before anything it uses is destroyed.
    std::jthread worker_;
};
