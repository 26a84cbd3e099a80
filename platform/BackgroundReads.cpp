#include "platform/BackgroundReads.h"

#include <QCoreApplication>
#include <QTimer>

#include <deque>
#include <memory>
#include <mutex>
#include <thread>

namespace BackgroundReads {

namespace {

constexpr int kRunningAtOnce = 2;
// After this long a read is taken to be stuck and leaves its turn to the next.
constexpr int kStuckAfterMs = 3000;

// The application that takes answers: reads left behind by one that ended post nothing.
std::mutex postingMutex;
const QCoreApplication* answering = nullptr;

void endPosting() {
    const std::lock_guard lock(postingMutex);
    answering = nullptr;
}

// Runs then on the GUI thread of application, unless that application has ended.
void post(const QCoreApplication* application, std::function<void()> then) {
    const std::lock_guard lock(postingMutex);
    if (application && application == answering)
        QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(then),
                                  Qt::QueuedConnection);
}

struct Read {
    std::function<std::function<void()>()> work;
    bool counted = true; // still holds one of the turns
};

// The GUI thread's side: reads waiting for a turn and the number holding one, in the
// application they were started in.
struct Turns {
    const QCoreApplication* application = nullptr;
    std::deque<std::shared_ptr<Read>> waiting;
    int running = 0;

    void release(Read& read) {
        if (!read.counted)
            return;
        read.counted = false;
        --running;
        startWaiting();
    }

    void startWaiting() {
        while (running < kRunningAtOnce && !waiting.empty()) {
            std::shared_ptr<Read> read = std::move(waiting.front());
            waiting.pop_front();
            ++running;
            QTimer::singleShot(kStuckAfterMs, QCoreApplication::instance(),
                               [this, read] { release(*read); });
            std::thread([this, read, application = application] {
                std::function<void()> then = read->work();
                post(application, [this, read, then = std::move(then)] {
                    release(*read);
                    if (then)
                        then();
                });
            }).detach();
        }
    }
};

// Outlives the reads left behind, which still refer to it. Begins anew in each application
// (tests make more than one, one after another).
Turns& turnsOf(const QCoreApplication* application) {
    static Turns* const turns = new Turns;
    if (turns->application != application) {
        *turns = Turns{application, {}, 0};
        const std::lock_guard lock(postingMutex);
        answering = application;
        qAddPostRoutine(endPosting);
    }
    return *turns;
}

} // namespace

void start(std::function<std::function<void()>()> read) {
    Turns& queue = turnsOf(QCoreApplication::instance());
    queue.waiting.push_back(std::make_shared<Read>(Read{std::move(read)}));
    queue.startWaiting();
}

} // namespace BackgroundReads
