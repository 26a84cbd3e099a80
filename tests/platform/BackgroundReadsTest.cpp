#include "platform/BackgroundReads.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QThread>
#include <QTimer>

#include <chrono>
#include <csignal>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

// A read that never returns, as one on a file system that stopped answering.
std::function<void()> stuckRead() {
    for (;;)
        std::this_thread::sleep_for(std::chrono::hours(1));
}

// Runs body in a child process with an application of its own and waits up to ten seconds for
// it to end; returns its exit status, or -1 when it had to be killed.
int inChildApplication(const std::function<int(QCoreApplication&)>& body) {
    const pid_t child = fork();
    if (child == 0) {
        int argc = 1;
        char name[] = "reads";
        char* argv[] = {name, nullptr};
        int status = 0;
        {
            QCoreApplication application(argc, argv);
            status = body(application);
        }
        _exit(status);
    }
    int status = 0;
    for (int waited = 0; waited < 1000; ++waited) {
        if (waitpid(child, &status, WNOHANG) == child)
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
    return -1;
}

TEST(BackgroundReadsTest, StuckReadsNeitherHoldBackLaterOnesNorKeepTheApplicationFromEnding) {
    const int status = inChildApplication([](QCoreApplication& application) {
        BackgroundReads::start(stuckRead);
        BackgroundReads::start(stuckRead);
        bool answered = false;
        BackgroundReads::start([&answered, &application]() -> std::function<void()> {
            return [&answered, &application] {
                answered = true;
                application.quit();
            };
        });
        QTimer::singleShot(8000, &application, &QCoreApplication::quit);
        application.exec();
        return answered ? 0 : 1;
    });
    EXPECT_EQ(status, 0) << "1: a read waited behind stuck ones; -1: the application never ended";
}

TEST(BackgroundReadsTest, AnswersRunOnTheApplicationsThreadAndEmptyOnesAreSkipped) {
    const int status = inChildApplication([](QCoreApplication& application) {
        int answers = 0;
        bool elsewhere = false;
        for (int i = 0; i < 5; ++i) {
            BackgroundReads::start([&, i]() -> std::function<void()> {
                if (i % 2)
                    return {};
                return [&] {
                    elsewhere |= QThread::currentThread() != application.thread();
                    if (++answers == 3)
                        application.quit();
                };
            });
        }
        QTimer::singleShot(8000, &application, &QCoreApplication::quit);
        application.exec();
        return answers == 3 && !elsewhere ? 0 : 1;
    });
    EXPECT_EQ(status, 0);
}

} // namespace
