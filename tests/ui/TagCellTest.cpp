#include "ui/MyTagCell.h"
#include "ui/RMColorView.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QImage>
#include <QLabel>

namespace {

// A tag on screen, a child of a shown parent as the collection view's viewport holds its items.
struct ShownTag {
    explicit ShownTag(const QString& title) {
        cell.setTitleStr(title);
        cell.view()->setParent(&viewport);
        cell.view()->resize(MyTagCell::sizeForTitle(title).toSize());
        viewport.resize(400, 100);
        viewport.show();
    }

    QWidget viewport;
    MyTagCell cell; // deletes its view before the viewport goes
};

TEST(TagCell, ShowsTheTitleWithoutTheTwoCharactersThatAPlusSignMarks) {
    const struct {
        const char *title, *shown;
    } cases[] = {
        {"+ All Pages", "All Pages"}, {"1 - 20", "1 - 20"}, {"+", ""}, // nothing past the sign
    };
    for (const auto& [title, shown] : cases) {
        SCOPED_TRACE(title);
        MyTagCell cell;
        cell.setTitleStr(title);
        EXPECT_EQ(cell.label()->text(), shown);
    }
}

TEST(TagCell, TextAndDeleteButtonKeepTheirPlacesWhenTheItemIsResized) {
    const QString title = QStringLiteral("+ Odd Pages");
    const QSize natural = MyTagCell::sizeForTitle(title).toSize();
    for (const QSize size : {natural, QSize(200, 26), QSize(160, 41)}) {
        SCOPED_TRACE(testing::Message() << size.width() << "x" << size.height());
        ShownTag tag(title);
        tag.cell.view()->resize(size);
        const double middle = size.height() / 2.0;
        EXPECT_EQ(tag.cell.bgView()->geometry(), QRect(QPoint(), size));

        // In the background's coordinates.
        const QRect text = tag.cell.label()->geometry();
        EXPECT_EQ(text.left(), 10);
        EXPECT_NEAR(QRectF(text).center().y(), middle, 0.5);
        // The whole text fits from the natural size on.
        const QFontMetrics metrics(tag.cell.label()->font());
        EXPECT_GE(text.width(), metrics.horizontalAdvance(tag.cell.label()->text()));

        const QRect button = tag.cell.deleteBtn()->geometry();
        EXPECT_EQ(button.size(), QSize(8, 8));
        EXPECT_EQ(size.width() - (button.x() + button.width()), 14);
        EXPECT_NEAR(QRectF(button).center().y(), middle, 0.5);
        EXPECT_LT(text.right(), button.left());
    }
}

// The delete button as painted at ratio onto the tag's grey.
QImage renderedDeleteButton(const MyTagCell& cell, qreal ratio) {
    QWidget& button = *cell.deleteBtn();
    QImage image(button.size() * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(cell.bgView()->backColor());
    // Without the widget background the render would otherwise fill in.
    button.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

TEST(TagCell, DeleteButtonDrawsASharpCrossAtEveryScreenScale) {
    for (const qreal ratio : {1.0, 2.0}) {
        SCOPED_TRACE(testing::Message() << ratio << "x");
        ShownTag tag("+ Odd Pages");
        const QImage image = renderedDeleteButton(tag.cell, ratio);
        const QRgb background = tag.cell.bgView()->backColor().rgb();
        const int n = image.width();
        ASSERT_EQ(n, qRound(8 * ratio));
        auto inked = [&](int x, int y) { return image.pixel(x, y) != background; };

        // Sharp: one ink colour, no half-tone pixels of a scaled picture.
        QSet<QRgb> colours;
        for (int y = 0; y < n; ++y) {
            for (int x = 0; x < n; ++x)
                colours.insert(image.pixel(x, y));
        }
        EXPECT_EQ(colours.size(), 2);
        // Both diagonals run from near one corner to near the other, crossing in the middle.
        for (int t = n / 4; t < n - n / 4; ++t) {
            EXPECT_TRUE(inked(t, t)) << t;
            EXPECT_TRUE(inked(n - 1 - t, t)) << t;
        }
        EXPECT_TRUE(inked(n / 2, n / 2));
        EXPECT_TRUE(inked(n / 2 - 1, n / 2 - 1));
        // Nothing where a ring or a disc would be: the middles of the sides and the points
        // between them and the centre.
        for (const QPoint p : {QPoint(n / 2, 0), QPoint(n / 2, n - 1), QPoint(0, n / 2),
                               QPoint(n - 1, n / 2), QPoint(n / 2, n / 4), QPoint(n / 4, n / 2),
                               QPoint(n / 2, n - 1 - n / 4), QPoint(n - 1 - n / 4, n / 2)})
            EXPECT_FALSE(inked(p.x(), p.y())) << p.x() << "," << p.y();
        // The two strokes are alike.
        EXPECT_TRUE(image == image.mirrored(true, false));
    }
}

} // namespace
