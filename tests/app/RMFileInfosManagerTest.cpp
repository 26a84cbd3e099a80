#include "app/RMFileInfosManager.h"
#include "platform/NotificationCenter.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <cstring>

namespace {

QStringList paths(const RMFileInfosManager& store) {
    QStringList list;
    for (const RMFileInfo& info : store.fileInfoArray())
        list << info.filePath;
    return list;
}

class RecentFilesTest : public testing::Test {
protected:
    RecentFilesTest() {
        NotificationCenter::defaultCenter().addObserver(&owner,
                                                        RMFileInfosManager::kUpdateNotification,
                                                        [this](const Notification&) { ++updates; });
    }

    const QDateTime kLongAgo = QDateTime::fromSecsSinceEpoch(1000000000);
    RMFileInfosManager store;
    QObject owner;
    int updates = 0;
};

// Every recording, removal and clearing announces itself, also when nothing changed.
TEST_F(RecentFilesTest, OneEntryPerExactPathOldestFirstAndEveryChangeAnnounced) {
    store.updateByFilePath("/a.pdf", kLongAgo);
    store.updateByFilePath("/b.pdf", kLongAgo.addSecs(60));
    EXPECT_EQ(updates, 0) << "recording with a date alone does not announce";
    store.updateFileInfo("/a.pdf");
    EXPECT_EQ(paths(store), QStringList({"/b.pdf", "/a.pdf"})) << "recorded again: last";
    EXPECT_GT(store.fileInfoArray()[1].recentUpdateTime, kLongAgo.addSecs(60));

    store.updateFileInfos({"/c.pdf", "/A.pdf", "/c.pdf"});
    store.updateFileInfos({});
    EXPECT_EQ(paths(store), QStringList({"/b.pdf", "/a.pdf", "/c.pdf", "/A.pdf"}));
    EXPECT_EQ(store.fileInfoArray()[2].recentUpdateTime, store.fileInfoArray()[3].recentUpdateTime)
        << "one batch, one time";
    store.removeFileInfo("/absent.pdf");
    store.removeFileInfo("/a.pdf");
    EXPECT_EQ(paths(store), QStringList({"/b.pdf", "/c.pdf", "/A.pdf"}));
    store.clearFiles();
    store.clearFiles();
    EXPECT_TRUE(store.fileInfoArray().empty());
    EXPECT_EQ(updates, 7);
}

TEST_F(RecentFilesTest, RecordsKeepPathDateAndOrderAndDropFilesThatAreGone) {
    QTemporaryDir dir;
    for (const char* name : {"kept.pdf", "deleted.pdf", "also kept 100%.pdf"}) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        store.updateByFilePath(file.fileName(), kLongAgo.addSecs(std::strlen(name)));
    }
    QVariantList records =
        RMFileInfosManager::dictionaryArrayFromFileInfosArray(store.fileInfoArray());
    records.append(QVariantMap{{RMFileInfosManager::kDateKey, kLongAgo}}); // no path
    ASSERT_TRUE(QFile::remove(dir.filePath("deleted.pdf")));

    const auto back = RMFileInfosManager::fileInfosArrayFromDictionaryArray(records);
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(back[0].filePath, dir.filePath("kept.pdf"));
    EXPECT_EQ(back[0].recentUpdateTime, kLongAgo.addSecs(8));
    EXPECT_EQ(back[1].filePath, dir.filePath("also kept 100%.pdf"));
    EXPECT_EQ(back[1].recentUpdateTime, kLongAgo.addSecs(18));
}

} // namespace
