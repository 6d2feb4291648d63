#include "tools/probe/writePNG.h"

#include "tools/probe/toRGBImage.h"

#include "foundation/CError.h"
#include "media/CRGBPicture.h"
#include "platform/CTempFolder.h"
#include "readPNG.h"
#include "streams/CMemoryManager.h"

#include <gtest/gtest.h>

namespace nebo::probe {
namespace {

using lumo::make;
using lumo::P;

// Stored pixel i has blue i, green 100 + i, red 200 + i, and a fourth byte that must not reach the file.
P<common::INEBPicture> makeNumberedRGB(const P<lumo::IMemoryManager>& memory, int32_t width, int32_t height,
                                       bool bBottomUp)
{
    P<lumo::IMemoryBlock> block = memory->allocate(width * height * 4);
    block->setSize(width * height * 4);
    for (int32_t i = 0; i < width * height; ++i) {
        uint8_t* pixel = block->getData() + i * 4;
        pixel[0] = static_cast<uint8_t>(i);
        pixel[1] = static_cast<uint8_t>(100 + i);
        pixel[2] = static_cast<uint8_t>(200 + i);
        pixel[3] = 0x5A;
    }
    return make<common::CRGBPicture>(memory, 0.0, block, width, height, bBottomUp);
}

TEST(writePNGTest, WritesABottomUpPictureTopRowFirst)
{
    const P<lumo::IMemoryManager> memory = make<lumo::CMemoryManager>(30);
    lumo::CTempFolder folder;
    const int32_t width = 5, height = 3;
    writePNG(folder.pathOf("out.png"), toRGBImage(*makeNumberedRGB(memory, width, height, true)));
    const test::SDecodedPNG png = test::readPNG(folder.pathOf("out.png"));
    ASSERT_TRUE(png.bDecoded) << png.message;
    EXPECT_EQ(png.fileFormat, PNG_FORMAT_RGB);
    ASSERT_EQ(png.width, 5u);
    ASSERT_EQ(png.height, 3u);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const int32_t i = (height - 1 - y) * width + x;
            const uint32_t expected = uint32_t{uint8_t(200 + i)} << 16 | uint32_t{uint8_t(100 + i)} << 8 | uint8_t(i);
            EXPECT_EQ(png.at(x, y), expected) << x << "," << y;
        }
    }
}

TEST(writePNGTest, RefusesEmptyPicturesAndUnwritableFiles)
{
    const P<lumo::IMemoryManager> memory = make<lumo::CMemoryManager>(30);
    lumo::CTempFolder folder;
    const P<common::INEBPicture> empty = make<common::CRGBPicture>(memory, 0.0, nullptr, 0, 0, false);
    EXPECT_THROW(toRGBImage(*empty), lumo::CError);
    EXPECT_THROW(writePNG(folder.pathOf("empty.png"), SRGBImage{}), lumo::CError);
    EXPECT_THROW(writePNG(folder.pathOf("missing/out.png"), SRGBImage::filled(2, 2, 0)), lumo::CError);
}

} // namespace
} // namespace nebo::probe
