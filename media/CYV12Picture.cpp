#include "media/CYV12Picture.h"

#include "media/yuvKernels.h"

namespace nebo::common {

namespace {

constexpr int32_t vPlane = 1;
constexpr int32_t uPlane = 2;

} // namespace

CYV12Picture::CYV12Picture(lumo::P<lumo::IMemoryManager> manager, double timestamp, lumo::P<lumo::IMemoryBlock> block,
                           int32_t width, int32_t height, bool bottomUp, int32_t planeRows)
    : CYUVPicture(std::move(manager), timestamp, std::move(block), width, height, bottomUp, planeRows)
{
    checkBlock();
}

int64_t CYV12Picture::getLayoutSize(int64_t width, int64_t height) const
{
    return width * height + 2 * (width * height / 4);
}

int32_t CYV12Picture::getType() { return yv12PictureType; }

int32_t CYV12Picture::getPlaneCount() const { return 3; }

const char* CYV12Picture::getLayoutName() const { return "CYV12Picture"; }

CPictureBase::SPlane CYV12Picture::getPlane(int32_t nPlane, int64_t width, int64_t height, int64_t planeRows)
{
    const int64_t area = width * planeRows;
    if (nPlane == 0)
        return {0, width, width, height, 1};
    return {area + (nPlane == uPlane ? area / 4 : 0), width / 2, width / 2, height / 2, 1};
}

void CYV12Picture::getPlaneWindow(int32_t nPlane, int64_t& offset, int64_t& length)
{
    offset = getPlane(nPlane, getWidth(), getHeight(), getPlaneRows()).offset;
    length = int64_t(getWidth()) * getHeight() / 4;
}

lumo::P<lumo::IMemoryBlock> CYV12Picture::copyPlaneRegion(int32_t nPlane, int32_t x, int32_t y, int32_t nWidth,
                                                          int32_t nHeight)
{
    const int64_t width = getWidth(), area = width * getPlaneRows();
    if (nPlane == 0)
        return copyRegion(width * y + x, width, nWidth, nHeight);
    const int64_t planeStart = area + (nPlane == uPlane ? area / 4 : 0);
    return copyRegion(planeStart + width * y / 4 + x / 2, width / 2, nWidth / 2, nHeight / 2);
}

void CYV12Picture::copyPlanes(uint8_t* pDest, int32_t nDestPitch, int32_t nChromaOffsetX, int32_t nChromaOffsetY,
                              int32_t nDestX, int32_t nDestY, int32_t x, int32_t y, int32_t nWidth, int32_t nHeight)
{
    checkDestination(pDest, nWidth, nHeight, "copyPlanes");
    const std::ptrdiff_t pitch = nDestPitch;
    const lumo::P<lumo::IMemoryBlock> luma = getImagePlane(0, x, y, nWidth, nHeight);
    copyRows(luma->getData(), nWidth, pDest + pitch * nDestY + nDestX, pitch, nWidth, nHeight);
    uint8_t* base = pDest + (nDestX + pitch * nDestY) / 2;
    const lumo::P<lumo::IMemoryBlock> v = getImagePlane(vPlane, x, y, nWidth, nHeight);
    copyRows(v->getData(), nWidth / 2, base + 2 * std::ptrdiff_t(nChromaOffsetX), pitch, nWidth / 2, nHeight / 2);
    const lumo::P<lumo::IMemoryBlock> u = getImagePlane(uPlane, x, y, nWidth, nHeight);
    copyRows(u->getData(), nWidth / 2, base + (nChromaOffsetY / 2) * pitch + 2 * std::ptrdiff_t(nChromaOffsetX), pitch,
             nWidth / 2, nHeight / 2);
}

lumo::String CYV12Picture::getConverterName() { return "yv12rgbMain"; }

void CYV12Picture::reduceQuarter()
{
    const int64_t width = getWidth(), height = getHeight();
    const int64_t newWidth = width / 4, newHeight = height / 4;
    lumo::P<lumo::IMemoryBlock> reduced = allocateLongestBlock(newWidth, newHeight);
    for (int32_t plane = 0; plane < getPlaneCount(); ++plane)
        keepEveryFourth(getPlane(plane, width, height, getPlaneRows()), reduced->getData(),
                        getPlane(plane, newWidth, newHeight, newHeight));
    replacePixels(std::move(reduced), static_cast<int32_t>(newWidth), static_cast<int32_t>(newHeight));
}

void CYV12Picture::convertToRGB(uint8_t* rgb)
{
    const int64_t width = getWidth(), height = getHeight(), rows = getPlaneRows();
    const uint8_t* pixels = getPixels();
    convertYV12ToRGB(pixels, pixels + getPlane(uPlane, width, height, rows).offset,
                     pixels + getPlane(vPlane, width, height, rows).offset, getWidth(), getHeight(), rgb);
}

} // namespace nebo::common
