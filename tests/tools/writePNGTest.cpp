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

// Stored bottom row first, pixel i with blue i, green 100 + i, red 200 + i, and a fourth byte kept out of the file.
P<common::INEBPicture> makeBottomUpRGB(const P<lumo::IMemoryManager>& memory, int32_t width, int32_t height)
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
    return make<common::CRGBPicture>(memory, 0.0, block, width, height, true);
}

TEST(writePNGTest, WritesABottomUpPictureTopRowFirstAndRefusesWhatItCannotWrite)
{
    const P<lumo::IMemoryManager> memory = make<lumo::CMemoryManager>(30);
    lumo::CTempFolder folder;
    writePNG(folder.pathOf("out.png"), toRGBImage(*makeBottomUpRGB(memory, 5, 3)));
    test::expectPNG(folder.pathOf("out.png"), 5, 3, [](uint32_t x, uint32_t y) {
        const uint32_t i = (2 - y) * 5 + x;
        return uint32_t{uint8_t(200 + i)} << 16 | uint32_t{uint8_t(100 + i)} << 8 | uint8_t(i);
    });
    EXPECT_EQ(test::readPNG(folder.pathOf("out.png")).fileFormat, PNG_FORMAT_RGB);

    const P<common::INEBPicture> empty = make<common::CRGBPicture>(memory, 0.0, nullptr, 0, 0, false);
    EXPECT_THROW(toRGBImage(*empty), lumo::CError);
    EXPECT_THROW(writePNG(folder.pathOf("empty.png"), SRGBImage{}), lumo::CError);
    EXPECT_THROW(writePNG(folder.pathOf("missing/out.png"), SRGBImage::filled(2, 2, 0)), lumo::CError);
}

} // namespace
} // namespace nebo::probe
