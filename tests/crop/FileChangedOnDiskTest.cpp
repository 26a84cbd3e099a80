#include "crop/PdfWriteNotifications.h"
#include "crop/QpdfLoader.h"
#include "platform/NotificationCenter.h"
#include "tests/support/CaseName.h"
#include "tests/support/SavedFileCheck.h"
#include "tests/support/TestPdfBuilder.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QTemporaryDir>

#include <cstdio>

namespace {

using ::PrintTo;

struct OutsideChange {
    const char* name;
    void (*apply)(const QString& path);
    // Made at every page end of the save, after it began reading the file.
    bool whileSaving = false;
    // Whether the bytes that were opened are affected.
    bool changesOpenedBytes = true;
};

class FileChangedOnDiskTest : public testing::TestWithParam<OutsideChange> {};

// Whatever another program does to the open file, reading every byte of it does not end the
// program, and a save from it either writes the document as opened or fails, saying why and
// leaving the target as it was.
TEST_P(FileChangedOnDiskTest, ReadsOnAndSavesOnlyTheFileAsOpened) {
    const OutsideChange& change = GetParam();
    QTemporaryDir dir;
    const TestPage page{.content = QByteArray(400, ' ') + "0 0 1 rg 10 10 50 50 re f"};
    const QByteArray original = TestPdfBuilder().addPages(40, page).bytes();
    QFile in(writeFile(dir.filePath("in.pdf"), original));
    // Dated well before now, so that any later write shows in the modification time.
    in.open(QIODevice::ReadWrite);
    in.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime);
    auto opened = QpdfLoader().open(in.fileName());
    ASSERT_TRUE(opened.ok());
    PdfDocument& doc = *opened.document;
    doc.setBoundsForBox(1, QRectF(10, 20, 300, 400), PdfBox::Crop);
    const QString target = writeFile(dir.filePath("out.pdf"), "keep me");

    QObject observer;
    if (change.whileSaving) {
        NotificationCenter::defaultCenter().addObserver(
            &observer, PdfWriteNotifications::didEndPageWrite,
            [&](const Notification&) { change.apply(in.fileName()); }, &doc);
    } else {
        change.apply(in.fileName());
    }
    QString error;
    EXPECT_EQ(doc.writeToFile(target, &error), !change.changesOpenedBytes) << error.toStdString();
    const QByteArrayView bytes = doc.renderSource().data->bytes();
    EXPECT_EQ(QByteArray(bytes.data(), bytes.size()) == original, !change.changesOpenedBytes);

    EXPECT_EQ(doc.fileChangedSinceOpened(), change.changesOpenedBytes);
    if (change.changesOpenedBytes) {
        EXPECT_EQ(error.toStdString(),
                  "“in.pdf” was changed by another program after Cropmark opened it, so it can "
                  "no longer be saved from this window. Open the file again to crop its new "
                  "version.");
        EXPECT_EQ(readFile(target), "keep me");
    } else {
        EXPECT_TRUE(SavedFileCheck::readsCleanly(target, 40));
        EXPECT_TRUE(readFile(target).startsWith(original));
    }
}

void truncateToHalf(const QString& path) {
    QFile(path).resize(QFile(path).size() / 2);
}

// Same size, so no read faults: only the modification time tells.
void changeOneByte(const QString& path) {
    QFile file(path);
    file.open(QIODevice::ReadWrite);
    file.seek(file.size() / 2);
    file.write("#");
}

// As an editor that saves safely replaces it, or a save over it.
void replaceByRename(const QString& path) {
    writeFile(path + "~", "%PDF-1.7 another document");
    std::rename(QFile::encodeName(path + "~").constData(), QFile::encodeName(path).constData());
}

INSTANTIATE_TEST_SUITE_P(
    Changes, FileChangedOnDiskTest,
    testing::Values(OutsideChange{"overwritten",
                                  [](const QString& path) { writeFile(path, "%PDF-1.7 other"); }},
                    OutsideChange{"oneByteChangedInPlace", changeOneByte},
                    OutsideChange{"truncatedWhileSaving", truncateToHalf, true},
                    OutsideChange{"replacedByRename", replaceByRename, false, false}),
    [](const auto& p) { return std::string(p.param.name); });

} // namespace
