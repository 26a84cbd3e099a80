#include "platform/NotificationCenter.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

TEST(NotificationCenterTest, DeliversByNameAndOptionalSender) {
    NotificationCenter center;
    QObject owner;
    int a = 0, b = 0, fromSender = 0;
    const int sender = 0, other = 0;
    center.addObserver(&owner, "A", [&](const Notification& n) {
        ++a;
        EXPECT_EQ(n.name, "A");
    });
    center.addObserver(&owner, "B", [&](const Notification& n) { b += n.object.toInt(); });
    center.addObserver(
        &owner, "A", [&](const Notification&) { ++fromSender; }, &sender);
    center.post("A", &other);
    center.post("A", &sender);
    center.post("B", nullptr, 5);
    center.post("C");
    EXPECT_EQ(a, 2);
    EXPECT_EQ(b, 5);
    EXPECT_EQ(fromSender, 1);
}

TEST(NotificationCenterTest, ObserversEndWithTheirOwnerOrOnRemoval) {
    NotificationCenter center;
    int calls = 0;
    auto owner = std::make_unique<QObject>();
    QObject kept;
    center.addObserver(owner.get(), "N", [&](const Notification&) { ++calls; });
    center.addObserver(&kept, "N", [&](const Notification&) { calls += 10; });
    center.addObserver(&kept, "M", [&](const Notification&) { calls += 100; });
    center.post("N");
    owner.reset();
    center.post("N");
    center.removeObserver(&kept, "N");
    center.post("N");
    center.post("M");
    EXPECT_EQ(calls, 1 + 10 + 10 + 100);
}

TEST(NotificationCenterTest, HandlerMayRemoveItselfWhileRunning) {
    NotificationCenter center;
    QObject owner;
    int calls = 0;
    center.addObserver(&owner, "N", [&](const Notification&) {
        ++calls;
        center.removeObserver(&owner);
    });
    center.post("N");
    center.post("N");
    EXPECT_EQ(calls, 1);
}

TEST(NotificationCenterTest, HandlersRunOnThePostingThread) {
    NotificationCenter center;
    QObject owner;
    std::thread::id seen;
    center.addObserver(&owner, "N",
                       [&](const Notification&) { seen = std::this_thread::get_id(); });
    std::thread poster([&] { center.post("N"); });
    const auto posterId = poster.get_id();
    poster.join();
    EXPECT_EQ(seen, posterId);
}

} // namespace
