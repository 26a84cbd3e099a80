#include "app/RMFileInfosManager.h"
#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

namespace {

QStringList paths(const RMFileInfosManager& store) {
    QStringList list;
    for (const RMFileInfo& info : store.fileInfoArray())
        list << info.filePath;
    return list;
}

// Recording, moving, removing and clearing as the start window does them: see AppDelegateTest.
TEST(RecentFilesTest, OneEntryPerExactPath) {
    RMFileInfosManager store;
    store.updateFileInfos({"/c.pdf", "/A.pdf", "/c.pdf", "/a.pdf"});
    store.removeFileInfo("/absent.pdf");
    EXPECT_EQ(paths(store), QStringList({"/c.pdf", "/A.pdf", "/a.pdf"}));
}

} // namespace
