#include "render/ImageCache.h"

#include <gtest/gtest.h>

namespace {

RenderKey keyFor(int page) {
    return RenderKey(PageRenderRequest{page, QRectF(0, 0, 612, 792), 0, QSize(100, 100), 1.0});
}

// 100 x 100 pixels of 4 bytes.
constexpr qsizetype kSmallBytes = 40000;

QImage imageOf(int width, int height, QRgb color = 0xff000000) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

QImage small(QRgb color = 0xff000000) {
    return imageOf(100, 100, color);
}

TEST(ImageCacheTest, EvictsTheLeastRecentlyUsedUntilTheBytesFit) {
    ImageCache cache(3 * kSmallBytes);
    cache.insert(keyFor(0), small());
    cache.insert(keyFor(1), small());
    cache.insert(keyFor(2), small());
    ASSERT_FALSE(cache.find(keyFor(0)).isNull()); // now 1 is the least recently used

    cache.insert(keyFor(3), imageOf(100, 200)); // needs two small ones' room

    EXPECT_TRUE(cache.find(keyFor(1)).isNull());
    EXPECT_TRUE(cache.find(keyFor(2)).isNull());
    EXPECT_FALSE(cache.find(keyFor(0)).isNull());
    EXPECT_FALSE(cache.find(keyFor(3)).isNull());
    EXPECT_EQ(cache.sizeInBytes(), 3 * kSmallBytes);
}

TEST(ImageCacheTest, ReplacesThePictureUnderAKeyAndCountsOnlyTheNewOne) {
    ImageCache cache(3 * kSmallBytes);
    cache.insert(keyFor(0), small(0xff000000));

    cache.insert(keyFor(0), imageOf(50, 50, 0xffffffff));

    EXPECT_EQ(cache.find(keyFor(0)).pixel(0, 0), 0xffffffff);
    EXPECT_EQ(cache.sizeInBytes(), kSmallBytes / 4);
}

TEST(ImageCacheTest, KeepsNoPictureLargerThanItsCapacityAndLosesNothingForIt) {
    ImageCache cache(3 * kSmallBytes);
    cache.insert(keyFor(0), small());

    cache.insert(keyFor(1), imageOf(200, 200));

    EXPECT_TRUE(cache.find(keyFor(1)).isNull());
    EXPECT_FALSE(cache.find(keyFor(0)).isNull());
    EXPECT_EQ(cache.sizeInBytes(), kSmallBytes);
}

} // namespace
