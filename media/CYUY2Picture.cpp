#include "media/CYUY2Picture.h"

#include "media/yuvKernels.h"

#include <cstring>

namespace nebo::common {

namespace {

constexpr int32_t pixelBytes = 2;
constexpr uint8_t blackPair[4] = {0x10, 0x80, 0x10, 0x80};

} // namespace

CYUY2Picture::CYUY2Picture(lumo::P<lumo::IMemoryManager> manager, double timestamp, lumo::P<lumo::IMemoryBlock> block,
                           int32_t width, int32_t height, bool bottomUp)
    : CYUVPicture(std::move(manager), timestamp, std::move(block), width, height, bottomUp)
{
    checkBlock();
}

int64_t CYUY2Picture::getLayoutSize(int64_t width, int64_t height) const { return pixelBytes * width * height; }

int32_t CYUY2Picture::getType() { return yuy2PictureType; }

int32_t CYUY2Picture::getPlaneCount() const { return 1; }

const char* CYUY2Picture::getLayoutName() const { return "CYUY2Picture"; }

void CYUY2Picture::getPlaneWindow(int32_t, int64_t& offset, int64_t& length)
{
    offset = 0;
    length = 0;
}

lumo::P<lumo::IMemoryBlock> CYUY2Picture::copyPlaneRegion(int32_t, int32_t x, int32_t y, int32_t nWidth,
                                                          int32_t nHeight)
{
    const int64_t width = getWidth();
    return copyRegion(pixelBytes * (width * y + x), pixelBytes * width, pixelBytes * int64_t(nWidth), nHeight);
}

void CYUY2Picture::fillBlack(uint8_t* pDest, int32_t nDestPitch, int32_t nWidth, int32_t nHeight)
{
    checkDestination(pDest, nWidth, nHeight, "fillBlack");
    for (int32_t row = 0; row < nHeight; ++row)
        for (int32_t word = 0; word < nWidth; ++word)
            std::memcpy(pDest + std::ptrdiff_t(row) * nDestPitch + 4 * std::ptrdiff_t(word), blackPair,
                        sizeof blackPair);
}

void CYUY2Picture::copyPlanes(uint8_t* pDest, int32_t nDestPitch, int32_t, int32_t, int32_t nDestX, int32_t nDestY,
                              int32_t x, int32_t y, int32_t nWidth, int32_t nHeight)
{
    checkDestination(pDest, nWidth, nHeight, "copyPlanes");
    const lumo::P<lumo::IMemoryBlock> plane = getImagePlane(0, x, y, nWidth, nHeight);
    const int64_t rowBytes = pixelBytes * int64_t(nWidth);
    copyRows(plane->getData(), rowBytes,
             pDest + std::ptrdiff_t(nDestPitch) * nDestY + pixelBytes * std::ptrdiff_t(nDestX), nDestPitch, rowBytes,
             nHeight);
}

lumo::String CYUY2Picture::getConverterName() { return "yuy2rgbMain"; }

void CYUY2Picture::reduceQuarter()
{
    const int64_t width = getWidth() / 4, height = getHeight() / 4;
    lumo::P<lumo::IMemoryBlock> reduced = allocateBlock(getLayoutSize(width, height));
    const uint8_t* source = getPixels();
    uint8_t* dest = reduced->getData();
    const int64_t sourcePitch = pixelBytes * int64_t(getWidth());
    for (int64_t row = 0; row < height; ++row)
        for (int64_t pixel = 0; pixel < width; ++pixel)
            std::memcpy(dest + (row * width + pixel) * pixelBytes,
                        source + 4 * row * sourcePitch + 16 * (pixel / 2) + pixelBytes * (pixel % 2), pixelBytes);
    replacePixels(std::move(reduced), static_cast<int32_t>(width), static_cast<int32_t>(height));
}

void CYUY2Picture::convertToRGB(uint8_t* rgb) { convertYUY2ToRGB(getPixels(), int64_t(getWidth()) * getHeight(), rgb); }

} // namespace nebo::common
