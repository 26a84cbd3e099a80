#include "render/RenderKey.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>

namespace {

const PageRenderRequest kRequest{3, QRectF(10, 20, 300, 400), 90, QSize(200, 150), 2.0};

struct Change {
    std::string name;
    std::function<void(PageRenderRequest&)> apply;
};

void PrintTo(const Change& change, std::ostream* out) {
    *out << change.name;
}

class RenderKeyChangeTest : public testing::TestWithParam<Change> {};

TEST_P(RenderKeyChangeTest, MakesADifferentPicture) {
    PageRenderRequest changed = kRequest;
    GetParam().apply(changed);

    EXPECT_FALSE(RenderKey(changed) == RenderKey(kRequest));
}

INSTANTIATE_TEST_SUITE_P(
    Fields, RenderKeyChangeTest,
    testing::Values(Change{"Page", [](auto& r) { r.pageIndex = 4; }},
                    Change{"BoxX", [](auto& r) { r.box.moveLeft(11); }},
                    Change{"BoxY", [](auto& r) { r.box.moveTop(21); }},
                    Change{"BoxWidth", [](auto& r) { r.box.setWidth(301); }},
                    Change{"BoxHeight", [](auto& r) { r.box.setHeight(401); }},
                    // Smaller than QRectF's fuzzy equality notices.
                    Change{"BoxByAHair", [](auto& r) { r.box.moveLeft(10 + 1e-13); }},
                    Change{"Rotation", [](auto& r) { r.rotation = 270; }},
                    Change{"PixelWidth", [](auto& r) { r.pixelSize.setWidth(201); }},
                    Change{"PixelHeight", [](auto& r) { r.pixelSize.setHeight(151); }},
                    Change{"PixelRatio", [](auto& r) { r.devicePixelRatio = 1.0; }}),
    [](const auto& test) { return test.param.name; });

} // namespace
