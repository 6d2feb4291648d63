#include "media/yuvKernels.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

namespace nebo::common {
namespace {

using Bytes = std::vector<uint8_t>;

uint32_t pixelAt(const Bytes& rgb, size_t index)
{
    uint32_t pixel;
    std::memcpy(&pixel, rgb.data() + 4 * index, 4);
    return pixel;
}

Bytes randomBytes(std::mt19937& random, size_t count)
{
    std::uniform_int_distribution<int> byte(0, 255);
    Bytes bytes(count);
    for (uint8_t& value : bytes)
        value = static_cast<uint8_t>(byte(random));
    return bytes;
}

std::vector<EYUVKernelLevel> fastLevels()
{
    std::vector<EYUVKernelLevel> levels;
    for (EYUVKernelLevel level : {EYUVKernelLevel::sse2, EYUVKernelLevel::avx2, EYUVKernelLevel::avx512})
        if (isYUVKernelLevelSupported(level))
            levels.push_back(level);
    return levels;
}

// Every result pixel of `pixels`; the canary bytes behind the picture must stay.
template <class Convert> Bytes converted(size_t pixels, Convert convert)
{
    Bytes rgb(4 * pixels + 4, 0xA5);
    convert(rgb.data());
    EXPECT_EQ(pixelAt(rgb, pixels), 0xA5A5A5A5u);
    return rgb;
}

Bytes convertYV12(const Bytes& luma, const Bytes& u, const Bytes& v, int32_t width, int32_t height,
                  EYUVKernelLevel level)
{
    return converted(size_t(width) * height, [&](uint8_t* rgb) {
        convertYV12ToRGB(luma.data(), u.data(), v.data(), width, height, rgb, level);
    });
}

Bytes convertNV12(const Bytes& luma, const Bytes& chroma, int32_t width, int32_t height, EYUVKernelLevel level)
{
    return converted(size_t(width) * height,
                     [&](uint8_t* rgb) { convertNV12ToRGB(luma.data(), chroma.data(), width, height, rgb, level); });
}

Bytes convertYUY2(const Bytes& source, int64_t pixels, EYUVKernelLevel level)
{
    return converted(size_t(pixels), [&](uint8_t* rgb) { convertYUY2ToRGB(source.data(), pixels, rgb, level); });
}

TEST(yuvKernelsTest, KnownColours)
{
    // clang-format off
    const struct { uint8_t y, u, v; uint32_t planar, yuy2; } cases[] = {
        {16, 128, 128, 0xFF000000, 0xFF000000}, {235, 128, 128, 0xFFFEFEFE, 0xFFFFFFFF},
        {16, 128, 255, 0xFFCA0000, 0xFFCB0000}, {16, 255, 128, 0xFF0000FF, 0xFF0000FF},
        {128, 0, 0, 0xFF00FF00, 0xFF00FF00}, {255, 255, 255, 0xFFFF7DFF, 0xFFFF7DFF},
        {100, 90, 160, 0xFF945615, 0xFF955715},
    };
    // clang-format on
    // The fast levels are held to these by the tests below.
    for (const auto& c : cases) {
        const Bytes rgb = convertNV12(Bytes(4, c.y), Bytes{c.u, c.v}, 2, 2, EYUVKernelLevel::plain);
        for (size_t i = 0; i < 4; ++i)
            EXPECT_EQ(pixelAt(rgb, i), c.planar) << int(c.y) << ' ' << int(c.u) << ' ' << int(c.v);
        const Bytes pair = convertYUY2(Bytes{c.y, c.u, c.y, c.v}, 2, EYUVKernelLevel::plain);
        EXPECT_EQ(pixelAt(pair, 0), c.yuy2) << int(c.y) << ' ' << int(c.u) << ' ' << int(c.v);
        EXPECT_EQ(pixelAt(pair, 1), c.yuy2);
    }
}

// The last column of an odd width and the last row of an odd height take the last chroma column and row; a picture
// one pixel wide or high has no chroma and converts with the neutral 128.
TEST(yuvKernelsTest, OddEdgesTakeTheLastChromaSample)
{
    const Bytes luma = {50, 60, 60, 70, 80, 80, 70, 80, 80};
    const Bytes rgb = convertYV12(luma, Bytes{200}, Bytes{40}, 3, 3, EYUVKernelLevel::plain);
    EXPECT_EQ(pixelAt(rgb, 2), pixelAt(rgb, 1));
    EXPECT_EQ(pixelAt(rgb, 8), pixelAt(rgb, 4));
    EXPECT_EQ(pixelAt(rgb, 6), pixelAt(rgb, 3));

    const Bytes column = convertYV12(Bytes{235, 235, 235}, Bytes{}, Bytes{}, 1, 3, EYUVKernelLevel::plain);
    const Bytes row = convertNV12(Bytes(5, 235), Bytes(4, 0), 5, 1, EYUVKernelLevel::plain);
    for (size_t i = 0; i < 3; ++i)
        EXPECT_EQ(pixelAt(column, i), 0xFFFEFEFEu);
    for (size_t i = 0; i < 5; ++i)
        EXPECT_EQ(pixelAt(row, i), 0xFFFEFEFEu);

    // A lone last YUY2 pixel has its Y and U; its V is neutral.
    const Bytes lone = convertYUY2(Bytes{16, 255, 16, 128, 16, 255}, 3, EYUVKernelLevel::plain);
    EXPECT_EQ(pixelAt(lone, 2), pixelAt(lone, 0));
}

// NV12 reads its pairs in place, chroma rows `width` bytes apart (at an odd width, a byte more than the pairs), and
// must equal YV12 of the planes split out of them; at even sides the fast levels below hold it.
TEST(yuvKernelsTest, NV12EqualsYV12OfTheSplitPlanes)
{
    const Bytes luma(5 * 5, 128);
    EXPECT_EQ(convertNV12(luma, Bytes{10, 20, 30, 40, 0, 50, 60, 70, 80, 0}, 5, 5, EYUVKernelLevel::plain),
              convertYV12(luma, Bytes{10, 30, 50, 70}, Bytes{20, 40, 60, 80}, 5, 5, EYUVKernelLevel::plain));
}

TEST(yuvKernelsTest, FastLevelsEqualThePlainLoops)
{
    std::mt19937 random(20240611);
    const EYUVKernelLevel plain = EYUVKernelLevel::plain;
    for (EYUVKernelLevel level : fastLevels()) {
        for (int32_t width : {1, 2, 3, 7, 8, 14, 15, 16, 17, 31, 32, 33, 48, 63, 64, 65, 130, 257}) {
            for (int32_t height : {1, 2, 3, 4, 7}) {
                const size_t area = size_t(width) * height;
                const Bytes luma = randomBytes(random, area);
                const Bytes nv12Chroma = randomBytes(random, area / 2);
                const Bytes u = randomBytes(random, area / 4), v = randomBytes(random, area / 4);
                const Bytes yuy2 = randomBytes(random, 2 * area);
                SCOPED_TRACE(::testing::Message() << width << 'x' << height << " level " << int(level));
                EXPECT_EQ(convertNV12(luma, nv12Chroma, width, height, level),
                          convertNV12(luma, nv12Chroma, width, height, plain));
                EXPECT_EQ(convertYV12(luma, u, v, width, height, level), convertYV12(luma, u, v, width, height, plain));
                EXPECT_EQ(convertYUY2(yuy2, int64_t(area), level), convertYUY2(yuy2, int64_t(area), plain));
            }
        }
    }
}

// Every (Y, U, V) triple, in every layout: only an exhaustive run shows the fast levels' 16-bit pieces always add up
// to the plain 32-bit result. One U per round; each V meets all 256 Y (a planar sample's four pixels take four).
TEST(yuvKernelsTest, FastLevelsEqualThePlainLoopsForEveryTriple)
{
    constexpr int32_t samples = 256 * 64, width = 2 * samples;
    Bytes luma(2 * size_t(width)), v(samples), pairs(2 * size_t(samples)), yuy2;
    for (int32_t s = 0; s < samples; ++s) {
        v[s] = uint8_t(s / 64);
        for (int32_t row = 0; row < 2; ++row)
            for (int32_t column = 0; column < 2; ++column)
                luma[size_t(row) * width + 2 * s + column] = uint8_t(4 * (s % 64) + 2 * row + column);
    }
    for (int32_t u = 0; u < 256; ++u) {
        const Bytes us(samples, uint8_t(u));
        yuy2.clear();
        for (int32_t s = 0; s < samples; ++s) {
            pairs[2 * size_t(s)] = uint8_t(u);
            pairs[2 * size_t(s) + 1] = v[s];
            for (int32_t half = 0; half < 2; ++half)
                yuy2.insert(yuy2.end(), {luma[2 * size_t(s) + half * width], uint8_t(u),
                                         luma[2 * size_t(s) + half * width + 1], v[s]});
        }
        const Bytes planar = convertYV12(luma, us, v, width, 2, EYUVKernelLevel::plain);
        const Bytes packed = convertYUY2(yuy2, 2 * int64_t(width), EYUVKernelLevel::plain);
        for (EYUVKernelLevel level : fastLevels()) {
            ASSERT_EQ(convertYV12(luma, us, v, width, 2, level), planar) << "U " << u << " level " << int(level);
            ASSERT_EQ(convertNV12(luma, pairs, width, 2, level), planar) << "U " << u << " level " << int(level);
            ASSERT_EQ(convertYUY2(yuy2, 2 * int64_t(width), level), packed) << "U " << u << " level " << int(level);
        }
    }
}

} // namespace
} // namespace nebo::common
