#include "tools/probe/squarePixelSize.h"

#include <gtest/gtest.h>

namespace nebo::probe {
namespace {

TEST(squarePixelSizeTest, TheHeightStaysAndTheWidthFollowsThePixelAspect)
{
    // clang-format off
    const struct { SImageSize stored; int32_t num, den; SImageSize shown; } cases[] = {
        {{320, 240}, 1, 1, {320, 240}}, {{320, 240}, 4, 3, {427, 240}}, {{720, 576}, 16, 15, {768, 576}},
        {{720, 480}, 8, 9, {640, 480}},
        // Nonsense counts as square.
        {{320, 240}, 0, 1, {320, 240}}, {{320, 240}, -4, 3, {320, 240}}, {{320, 240}, 5, 1, {320, 240}},
        {{320, 240}, 1, 5, {320, 240}}, {{320, 240}, 4, 0, {320, 240}},
        // Never narrower than a pixel, never wider than the bound.
        {{1, 1}, 1, 4, {1, 1}}, {{maxPictureSide, 16}, 4, 1, {maxPictureSide, 16}},
    };
    // clang-format on
    for (const auto& c : cases) {
        const SImageSize shown = squarePixelSize(c.stored, c.num, c.den);
        EXPECT_EQ(shown, c.shown) << c.stored.width << "x" << c.stored.height << " at " << c.num << ":" << c.den
                                  << " gave " << shown.width << "x" << shown.height;
    }
}

} // namespace
} // namespace nebo::probe
