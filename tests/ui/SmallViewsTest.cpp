#include "ui/ColorHex.h"
#include "ui/ImageTint.h"
#include "ui/RMColorView.h"
#include "ui/RMDragDropViewDelegate.h"
#include "ui/RMImage.h"
#include "ui/RMTextField.h"
#include "ui/RMUtil.h"
#include "ui/TVKSafeDictionary.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMimeData>
#include <QPainter>
#include <QTest>
#include <QUrl>

#include <limits>

namespace {

using namespace ColorHex;

TEST(PackedColours, ChannelsComeFromTheirBytes) {
    const QColor grey = colorWithRGB(0xD0D0D0);
    EXPECT_FLOAT_EQ(static_cast<float>(grey.redF()), 208.0f / 255.0f);
    EXPECT_EQ(grey, colorWithRGB(0x00D0D0D0));
    EXPECT_EQ(grey.rgba(), 0xFFD0D0D0u);
    EXPECT_EQ(colorWithRGBA(0x14FFFFFF).rgba(), 0x14FFFFFFu);
    EXPECT_EQ(colorWithRGBA(0), QColor(Qt::transparent));
    // Every byte comes back unchanged, whichever way the colour was made.
    for (quint32 b = 0; b < 256; ++b) {
        const quint32 argb = (b << 24) | (b << 16) | ((255 - b) << 8) | (b ^ 0x5A);
        ASSERT_EQ(colorWithRGBA(argb).rgba(), argb);
        ASSERT_EQ(colorWithRGBA(argb), colorWithRGB(argb, colorWithRGBA(argb).alphaF()));
    }
}

TEST(Tinting, KeepsAlphaAndTakesTheColourByItsAlpha) {
    QImage image(2, 1, QImage::Format_ARGB32);
    image.setPixelColor(0, 0, QColor(0, 0, 255));
    image.setPixelColor(1, 0, QColor(0, 0, 255, 128));
    const auto tinted = [&](const QColor& tint) {
        return tintColor(image, tint).convertToFormat(QImage::Format_ARGB32);
    };
    EXPECT_EQ(tinted(Qt::red).pixelColor(0, 0), QColor(Qt::red));
    EXPECT_EQ(tinted(Qt::red).pixelColor(1, 0), QColor(255, 0, 0, 128));
    EXPECT_EQ(tinted(Qt::transparent), image);
    EXPECT_EQ(tinted(QColor(255, 0, 0, 128)).pixelColor(0, 0), QColor(128, 0, 127));
}

class Icons : public testing::TestWithParam<const char*> {};

TEST_P(Icons, ExistAndRenderSharpAtTheDevicePixelRatio) {
    const RMImage icon = RMImage::named(GetParam()).tinted(Qt::white);
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(icon.size(), QSizeF(22, 22));
    // Drawn into a 2x surface, the icon is rendered at 44 pixels, not scaled up from 22.
    QImage surface(44, 44, QImage::Format_ARGB32_Premultiplied);
    surface.setDevicePixelRatio(2);
    surface.fill(Qt::transparent);
    QPainter painter(&surface);
    icon.draw(painter, QRectF(0, 0, 22, 22));
    painter.end();
    const QImage direct = icon.toImage(QSizeF(22, 22), 2);
    EXPECT_EQ(surface, direct);
    int solid = 0; // a solid single-colour shape, not a hairline
    for (int y = 0; y < direct.height(); ++y)
        for (int x = 0; x < direct.width(); ++x)
            solid += direct.pixelColor(x, y) == QColor(Qt::white) ? 1 : 0;
    EXPECT_GT(solid, 100);
}

INSTANTIATE_TEST_SUITE_P(Resources, Icons,
                         testing::Values("custom_crop", "batch_crop", "page_range", "first_page",
                                         "previous_page", "next_page", "last_page", "edit",
                                         "not_edit", "clear", "delete"));

TEST(RMUtilTest, DateIsTimeThenDateWithFixedWidthFields) {
    EXPECT_EQ(RMUtil::dateStrFromDate(QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9))),
              "14:07:09 2024-03-05");
    EXPECT_EQ(RMUtil::dateStrFromDate(QDateTime(QDate(987, 12, 31), QTime(0, 0, 1))),
              "00:00:01 0987-12-31");
}

TEST(TVKSafeDictionaryTest, ReadsOnlyTheKindAskedForAndConvertsInSafeModel) {
    const TVKSafeDictionary d(QVariantMap{{"int", 12},
                                          {"real", 3.75},
                                          {"yes", true},
                                          {"text", "hello"},
                                          {"digits", "12 pages"},
                                          {"negative", " -7x"},
                                          {"exponent", "2.5e1kg"},
                                          {"huge", "99999999999999999999"},
                                          {"list", QStringList{"a"}}});
    EXPECT_FALSE(d.stringForKey("int"));
    EXPECT_FALSE(d.numberForKey("text").isValid());
    EXPECT_FALSE(d.findForKey(""));
    EXPECT_EQ(d.numberForKey("yes"), true);
    EXPECT_EQ(d.arrayForKeySafeModel("list"), QVariantList{"a"});
    EXPECT_EQ(d.dictionaryForKeySafeModel("text"), QVariantMap());
    EXPECT_EQ(d.stringForKeySafeModel("real"), "3.75");
    EXPECT_EQ(d.stringForKeySafeModel("none"), "");
    EXPECT_EQ(d.numberForKeySafeModel("digits"), 12);
    EXPECT_EQ(d.numberForKeySafeModel("text"), 0);
    EXPECT_EQ(d.numberForKeySafeModel("huge"), std::numeric_limits<int>::max());
    EXPECT_EQ(d.int64ValueForKeySafeModel("huge"), std::numeric_limits<qint64>::max());
    EXPECT_EQ(d.int64ValueForKeySafeModel("real"), 3);
    EXPECT_EQ(d.int64ValueForKeySafeModel("negative"), -7);
    EXPECT_EQ(d.floatValueForKeySafeModel("exponent"), 25.0f);
    EXPECT_FALSE(d.boolForKeySafeModel("none"));
    EXPECT_TRUE(d.boolForKeySafeModel("digits"));
}

class RecordingDelegate : public RMDragDropViewDelegate {
public:
    void dragDropViewFileList(const QStringList& paths) override { calls << paths; }
    QList<QStringList> calls;
};

// Drags urls onto view and drops them; whether the view took the drop as a copy.
bool dragAndDrop(RMColorView& view, const QList<QUrl>& urls) {
    QMimeData data;
    data.setUrls(urls);
    const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction;
    QDragEnterEvent enter(QPoint(5, 5), offered, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&view, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(QPointF(5, 5), offered, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&view, &drop);
    return drop.isAccepted() && drop.dropAction() == Qt::CopyAction;
}

TEST(Drops, ReachTheDelegateOnceWithAllPaths) {
    RMColorView view;
    RecordingDelegate delegate;
    view.setDelegate(&delegate);
    const QStringList one{"/tmp/a.pdf"}, three{"/tmp/a.pdf", "/tmp/b c.pdf", "/tmp/ü.pdf"};
    for (const QStringList& paths : {one, three}) {
        QList<QUrl> urls;
        for (const QString& path : paths)
            urls << QUrl::fromLocalFile(path);
        EXPECT_TRUE(dragAndDrop(view, urls));
    }
    EXPECT_FALSE(dragAndDrop(view, {QUrl("https://example.org/a.pdf")}));
    EXPECT_EQ(delegate.calls, (QList<QStringList>{one, three}));
    view.setDelegate(nullptr);
    EXPECT_TRUE(dragAndDrop(view, {QUrl::fromLocalFile("/tmp/a.pdf")})); // still completes
}

TEST(RMTextFieldTest, ReportsUserEditsAndTheEndOfEditing) {
    RMTextField field;
    int changes = 0, ends = 0;
    field.setDidChangeBlock([&] { ++changes; });
    field.setDidEndBlock([&] { ++ends; });
    QTest::keyClicks(&field, "12");
    field.setText("7"); // the program's own text is not an edit
    QTest::keyClick(&field, Qt::Key_Return);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(ends, 1);
}

} // namespace
