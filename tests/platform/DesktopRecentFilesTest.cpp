// The desktop's list of recent files: a file opened here is added, or counted again, and what
// other programs wrote stays as they wrote it; a list that cannot be read is left alone.

#include "platform/DesktopRecentFiles.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <map>

namespace {

const char* const kOthersList = R"(<?xml version="1.0" encoding="UTF-8"?>
<xbel version="1.0"
      xmlns:bookmark="http://www.freedesktop.org/standards/desktop-bookmarks"
      xmlns:mime="http://www.freedesktop.org/standards/shared-mime-info"
>
  <bookmark href="file:///home/u/notes.txt" added="2026-01-01T10:00:00.000000Z" modified="2026-01-01T10:00:00.000000Z" visited="2026-01-01T10:00:00.000000Z">
    <info>
      <metadata owner="http://freedesktop.org">
        <mime:mime-type type="text/plain"/>
        <bookmark:applications>
          <bookmark:application name="Text Editor" exec="&apos;edit %u&apos;" modified="2026-01-01T10:00:00.000000Z" count="3"/>
        </bookmark:applications>
      </metadata>
    </info>
  </bookmark>
  <bookmark href="file:///home/u/My%20Book.pdf" added="2026-01-02T10:00:00.000000Z" modified="2026-01-02T10:00:00.000000Z" visited="2026-01-02T10:00:00.000000Z">
    <info>
      <metadata owner="http://freedesktop.org">
        <mime:mime-type type="application/pdf"/>
        <bookmark:applications>
          <bookmark:application name="Viewer" exec="&apos;view %u&apos;" modified="2026-01-02T10:00:00.000000Z" count="1"/>
        </bookmark:applications>
      </metadata>
    </info>
  </bookmark>
</xbel>
)";

class DesktopRecentFilesTest : public testing::Test {
protected:
    void SetUp() override { qputenv("XDG_DATA_HOME", dir.path().toLocal8Bit()); }
    void TearDown() override { qunsetenv("XDG_DATA_HOME"); }

    void writeList(const QByteArray& bytes) {
        QFile file(DesktopRecentFiles::listPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray listBytes() {
        QFile file(DesktopRecentFiles::listPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // Each program's count for the file at href, by the program's name.
    std::map<QString, int> countsOf(const QString& href) {
        QXmlStreamReader list(listBytes());
        std::map<QString, int> counts;
        bool inFile = false;
        while (!list.atEnd()) {
            list.readNext();
            if (list.isEndElement() && list.name() == u"bookmark")
                inFile = false;
            if (!list.isStartElement())
                continue;
            if (list.name() == u"bookmark")
                inFile = list.attributes().value(QLatin1String("href")) == href;
            if (inFile && list.name() == u"application" &&
                list.namespaceUri() == u"http://www.freedesktop.org/standards/desktop-bookmarks")
                counts[list.attributes().value(QLatin1String("name")).toString()] +=
                    list.attributes().value(QLatin1String("count")).toInt();
        }
        EXPECT_FALSE(list.hasError()) << list.errorString().toStdString();
        return counts;
    }

    QTemporaryDir dir;
};

TEST_F(DesktopRecentFilesTest, AddsOrCountsTheFileAndKeepsWhatOthersWrote) {
    // No list yet: one is made.
    ASSERT_TRUE(DesktopRecentFiles::add("/tmp/a b.pdf", "Cropmark", "'cropmark' %u"));
    EXPECT_EQ(countsOf("file:///tmp/a%20b.pdf"), (std::map<QString, int>{{"Cropmark", 1}}));

    writeList(kOthersList);
    ASSERT_TRUE(DesktopRecentFiles::add("/home/u/My Book.pdf", "Cropmark", "'cropmark' %u"));
    ASSERT_TRUE(DesktopRecentFiles::add("/home/u/My Book.pdf", "Cropmark", "'cropmark' %u"));
    ASSERT_TRUE(DesktopRecentFiles::add("/home/u/new.pdf", "Cropmark", "'cropmark' %u"));
    EXPECT_EQ(countsOf("file:///home/u/My%20Book.pdf"),
              (std::map<QString, int>{{"Cropmark", 2}, {"Viewer", 1}}));
    EXPECT_EQ(countsOf("file:///home/u/notes.txt"), (std::map<QString, int>{{"Text Editor", 3}}));
    EXPECT_EQ(countsOf("file:///home/u/new.pdf"), (std::map<QString, int>{{"Cropmark", 1}}));
    EXPECT_TRUE(listBytes().contains("modified=\"2026-01-01T10:00:00.000000Z\""))
        << "another file's times stay";

    writeList("<xbel><bookmark href=");
    EXPECT_FALSE(DesktopRecentFiles::add("/tmp/c.pdf", "Cropmark", "'cropmark' %u"));
    EXPECT_EQ(listBytes(), "<xbel><bookmark href=") << "a list it cannot read is left alone";
}

} // namespace
