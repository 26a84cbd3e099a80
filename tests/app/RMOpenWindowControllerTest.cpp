// The plain recent-files window follows the list, also when told of a change from a worker.

#include "app/RMOpenWindowController.h"
#include "app/RMFileInfosManager.h"
#include "platform/CollectionView.h"
#include "ui_RMOpenWindowController.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDateTime>

#include <memory>
#include <thread>

namespace {

TEST(RMOpenWindowControllerTest, ReloadsOnChangesAndQueuesAReloadAskedFromAnotherThread) {
    RMFileInfosManager& store = RMFileInfosManager::sharedInstance();
    store.clearFiles();
    auto window = std::make_unique<RMOpenWindowController>();
    CollectionView* list = window->ui().recentCollectionView;
    EXPECT_EQ(list->numberOfSections(), 1);
    EXPECT_EQ(list->numberOfItemsInSection(0), 0);

    store.updateFileInfos({"/a.pdf", "/b.pdf"});
    EXPECT_EQ(list->numberOfItemsInSection(0), 2);

    // Recorded without an announcement; the reload asked from a worker waits for the GUI thread.
    store.updateByFilePath("/c.pdf", QDateTime::currentDateTime());
    std::thread([&] { window->refreshInfosList(); }).join();
    EXPECT_EQ(list->numberOfItemsInSection(0), 2);
    QCoreApplication::processEvents();
    EXPECT_EQ(list->numberOfItemsInSection(0), 3);

    // A window gone before its queued reload runs is skipped.
    std::thread([&] { window->refreshInfosList(); }).join();
    window.reset();
    QCoreApplication::processEvents();
    store.clearFiles();
}

} // namespace
