#include "render/ImageCache.h"
#include "render/RenderKey.h"

#include <gtest/gtest.h>

namespace {

RenderKey keyFor(int page) {
    return RenderKey(PageRenderRequest{page, QRectF(0, 0, 612, 792), 0, QSize(100, 100), 1.0});
}

QImage imageOf(int width, int height) {
    return QImage(width, height, QImage::Format_RGB32);
}

// 100 x 100 pixels of 4 bytes.
constexpr qsizetype kSmallBytes = 40000;

TEST(ImageCacheTest, KeepsTheRecentlyUsedPicturesWithinItsBytes) {
    ImageCache cache(3 * kSmallBytes);
    for (int page : {0, 1, 2})
        cache.insert(keyFor(page), imageOf(100, 100));
    ASSERT_FALSE(cache.find(keyFor(0)).isNull()); // now 1 is the least recently used

    cache.insert(keyFor(3), imageOf(100, 200)); // needs two small ones' room
    for (int page : {0, 1, 2, 3})
        EXPECT_EQ(cache.find(keyFor(page)).isNull(), page == 1 || page == 2) << page;
    EXPECT_EQ(cache.sizeInBytes(), 3 * kSmallBytes);

    // A new picture under a key replaces the old one; one larger than the capacity is not kept,
    // and costs no other picture its place.
    cache.insert(keyFor(3), imageOf(50, 50));
    cache.insert(keyFor(4), imageOf(200, 200));
    EXPECT_EQ(cache.find(keyFor(3)).size(), QSize(50, 50));
    EXPECT_TRUE(cache.find(keyFor(4)).isNull());
    EXPECT_EQ(cache.sizeInBytes(), kSmallBytes + kSmallBytes / 4);

    // Shrunk, it lets the least recently used, 0, go down to the new capacity, and keeps to it.
    cache.setCapacityBytes(kSmallBytes / 2);
    EXPECT_TRUE(cache.find(keyFor(0)).isNull());
    EXPECT_EQ(cache.find(keyFor(3)).size(), QSize(50, 50));
    cache.insert(keyFor(5), imageOf(60, 50));
    EXPECT_TRUE(cache.find(keyFor(3)).isNull());
    EXPECT_EQ(cache.sizeInBytes(), 60 * 50 * 4);
}

// Pictures of the same page must never be mixed up, even when QRectF's fuzzy equality would
// call their boxes equal.
TEST(RenderKeyTest, EveryFieldAndEveryHairOfTheBoxMakesADifferentPicture) {
    const PageRenderRequest request{3, QRectF(10, 20, 300, 400), 90, QSize(200, 150), 2.0};
    PageRenderRequest hair = request, turned = request, denser = request;
    hair.box.moveLeft(10 + 1e-13);
    turned.rotation = 270;
    denser.devicePixelRatio = 1.0;
    for (const auto& other : {hair, turned, denser})
        EXPECT_FALSE(RenderKey(other) == RenderKey(request));
    EXPECT_TRUE(RenderKey(request) == RenderKey(PageRenderRequest(request)));
    EXPECT_EQ(qHash(RenderKey(request)), qHash(RenderKey(PageRenderRequest(request))));
}

} // namespace
