#include "media/CRGBPicture.h"

namespace nebo::common {

namespace {

constexpr int32_t pixelBytes = 4;

} // namespace

CRGBPicture::CRGBPicture(lumo::P<lumo::IMemoryManager> manager, double timestamp, lumo::P<lumo::IMemoryBlock> block,
                         int32_t width, int32_t height, bool bottomUp)
    : CPictureBase(std::move(manager), timestamp, std::move(block), width, height, bottomUp)
{
    checkBlock();
}

int64_t CRGBPicture::getLayoutSize(int64_t width, int64_t height) const { return width * height * pixelBytes; }

lumo::P<lumo::IMemoryBlock> CRGBPicture::getRGBData(int32_t x, int32_t y, int32_t nWidth, int32_t nHeight)
{
    checkRegion(x, y, nWidth, nHeight, "getRGBData");
    if (isWholePicture(x, y, nWidth, nHeight))
        return getBlock();
    const int64_t pitch = int64_t(getWidth()) * pixelBytes;
    return copyRegion(y * pitch + int64_t(x) * pixelBytes, pitch, int64_t(nWidth) * pixelBytes, nHeight);
}

void CRGBPicture::copyRGB(uint8_t* pDest, int32_t nDestPitch, int32_t x, int32_t y, int32_t nWidth, int32_t nHeight)
{
    checkRegion(x, y, nWidth, nHeight, "copyRGB");
    checkDestination(pDest, nWidth, nHeight, "copyRGB");
    if (nWidth == 0 || nHeight == 0)
        return;
    // The caller always gets the top row first.
    const std::ptrdiff_t pitch = std::ptrdiff_t(getWidth()) * pixelBytes;
    const int32_t firstRow = isBottomUp() ? getHeight() - y - 1 : y;
    const uint8_t* first = getPixels() + firstRow * pitch + std::ptrdiff_t(x) * pixelBytes;
    copyRows(first, isBottomUp() ? -pitch : pitch, pDest, nDestPitch, int64_t(nWidth) * pixelBytes, nHeight);
}

lumo::P<CRGBPicture> CRGBPicture::getRGBPicture() { return this; }

int32_t CRGBPicture::getType() { return rgbPictureType; }

lumo::P<lumo::IMemoryBlock> CRGBPicture::getImagePlane(int32_t nPlane, int32_t x, int32_t y, int32_t nWidth,
                                                       int32_t nHeight)
{
    return nPlane == 0 ? getRGBData(x, y, nWidth, nHeight) : nullptr;
}

void CRGBPicture::fillBlack(uint8_t*, int32_t, int32_t, int32_t) {}

void CRGBPicture::copyPlanes(uint8_t*, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t)
{
}

lumo::String CRGBPicture::getConverterName() { return lumo::String(); }

void CRGBPicture::reduceQuarter()
{
    const int32_t width = getWidth() / 4, height = getHeight() / 4;
    lumo::P<lumo::IMemoryBlock> reduced = allocateBlock(getLayoutSize(width, height));
    keepEveryFourth({0, int64_t(getWidth()) * pixelBytes, width, height, pixelBytes}, reduced->getData(),
                    {0, int64_t(width) * pixelBytes, width, height, pixelBytes});
    replacePixels(std::move(reduced), width, height);
}

} // namespace nebo::common
