#include "render/RenderKey.h"

#include <gtest/gtest.h>

namespace {

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
