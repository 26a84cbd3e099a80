#include "platform/NotificationCenter.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

class NotificationCenterTest : public testing::Test {
protected:
    // An observer held by holder that adds amount to calls, so that one sum tells who was called.
    void count(QObject* holder, const QString& name, int amount, const void* sender = nullptr) {
        center.addObserver(
            holder, name, [this, amount](const Notification&) { calls += amount; }, sender);
    }

    NotificationCenter center;
    QObject owner;
    int calls = 0;
};

TEST_F(NotificationCenterTest, DeliversByNameAndSenderUntilTheOwnerGoesOrRemovesIt) {
    const int sender = 0, other = 0;
    auto gone = std::make_unique<QObject>();
    count(gone.get(), "A", 1);
    count(&owner, "A", 10, &sender);
    count(&owner, "C", 1000);
    center.addObserver(&owner, "B", [&](const Notification& n) {
        EXPECT_EQ(n.name, "B");
        calls += 100 * n.object.toInt();
    });
    center.post("A", &other);
    center.post("A", &sender);
    center.post("B", nullptr, 5);
    gone.reset();
    center.post("A", &sender);
    center.removeObserver(&owner, "A");
    center.post("A", &sender);
    center.post("C");
    EXPECT_EQ(calls, 1 + 1 + 10 + 500 + 10 + 1000);
}

TEST_F(NotificationCenterTest, HandlerMayRemoveItselfWhileRunning) {
    center.addObserver(&owner, "N", [&](const Notification&) {
        ++calls;
        center.removeObserver(&owner);
    });
    center.post("N");
    center.post("N");
    EXPECT_EQ(calls, 1);
}

TEST_F(NotificationCenterTest, HandlersRunOnThePostingThread) {
    std::thread::id seen;
    center.addObserver(&owner, "N",
                       [&](const Notification&) { seen = std::this_thread::get_id(); });
    std::thread poster([&] { center.post("N"); });
    const auto posterId = poster.get_id();
    poster.join();
    EXPECT_EQ(seen, posterId);
}

} // namespace
