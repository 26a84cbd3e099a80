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
    QRect firstText, firstButton; // at the natural size, the first one
    for (const QSize size : {natural, QSize(200, 26), QSize(160, 41)}) {
        SCOPED_TRACE(testing::Message() << size.width() << "x" << size.height());
        ShownTag tag(title);
        tag.cell.view()->resize(size);
        const double middle = size.height() / 2.0;
        EXPECT_EQ(tag.cell.bgView()->geometry(), QRect(QPoint(), size));

        // In the background's coordinates; the whole text fits from the natural size on.
        const QRect text = tag.cell.label()->geometry();
        EXPECT_NEAR(QRectF(text).center().y(), middle, 0.5);
        const QFontMetrics metrics(tag.cell.label()->font());
        EXPECT_GE(text.width(), metrics.horizontalAdvance(tag.cell.label()->text()));
        const QRect button = tag.cell.deleteBtn()->geometry();
        EXPECT_NEAR(QRectF(button).center().y(), middle, 0.5);
        EXPECT_LT(text.right(), button.left());
        if (size == natural)
            firstText = text, firstButton = button;
        EXPECT_EQ(text.left(), firstText.left());
        EXPECT_EQ(button.size(), firstButton.size());
        EXPECT_EQ(size.width() - button.right(), natural.width() - firstButton.right());
    }
}

TEST(TagCell, DeleteButtonDrawsASharpCrossAtEveryScreenScale) {
    for (const qreal ratio : {1.0, 2.0}) {
        SCOPED_TRACE(testing::Message() << ratio << "x");
        ShownTag tag("+ Odd Pages");
        // Painted onto the tag's grey, without the widget background the render would fill in.
        QWidget& button = *tag.cell.deleteBtn();
        QImage image(button.size() * ratio, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        image.fill(tag.cell.bgView()->backColor());
        button.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        const QRgb background = tag.cell.bgView()->backColor().rgb();
        const int n = image.width();
        ASSERT_EQ(n, qRound(8 * ratio));
        auto inked = [&](int x, int y) { return image.pixel(x, y) != background; };

        // Sharp: one ink colour, no half-tone pixels of a scaled picture.
        QSet<QRgb> colours;
        for (int i = 0; i < n * n; ++i)
            colours.insert(image.pixel(i % n, i / n));
        EXPECT_EQ(colours.size(), 2);
        // Both diagonals run from near one corner to near the other, crossing in the middle.
        for (int t = n / 4; t < n - n / 4; ++t) {
            EXPECT_TRUE(inked(t, t)) << t;
            EXPECT_TRUE(inked(n - 1 - t, t)) << t;
        }
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
