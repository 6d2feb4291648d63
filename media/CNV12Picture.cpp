#include "media/CNV12Picture.h"

#include "media/yuvKernels.h"

namespace nebo::common {

CNV12Picture::CNV12Picture(lumo::P<lumo::IMemoryManager> manager, double timestamp, lumo::P<lumo::IMemoryBlock> block,
                           int32_t width, int32_t height, bool bottomUp, int32_t planeRows)
    : CYUVPicture(std::move(manager), timestamp, std::move(block), width, height, bottomUp, planeRows)
{
    checkBlock();
}

int64_t CNV12Picture::getLayoutSize(int64_t width, int64_t height) const { return width * height + width * height / 2; }

int32_t CNV12Picture::getType() { return nv12PictureType; }

int32_t CNV12Picture::getPlaneCount() const { return 2; }

const char* CNV12Picture::getLayoutName() const { return "CNV12Picture"; }

CPictureBase::SPlane CNV12Picture::getLumaPlane(int64_t width, int64_t height) { return {0, width, width, height, 1}; }

CPictureBase::SPlane CNV12Picture::getChromaPlane(int64_t width, int64_t height, int64_t planeRows)
{
    return {width * planeRows, width, width / 2, height / 2, 2};
}

void CNV12Picture::getPlaneWindow(int32_t, int64_t& offset, int64_t& length)
{
    offset = int64_t(getWidth()) * getPlaneRows();
    length = int64_t(getWidth()) * getHeight() / 2;
}

lumo::P<lumo::IMemoryBlock> CNV12Picture::copyPlaneRegion(int32_t nPlane, int32_t x, int32_t y, int32_t nWidth,
                                                          int32_t nHeight)
{
    const int64_t width = getWidth();
    if (nPlane == 0)
        return copyRegion(width * y + x, width, nWidth, nHeight);
    return copyRegion(width * getPlaneRows() + width * y / 2 + x, width, nWidth, nHeight / 2);
}

void CNV12Picture::copyPlanes(uint8_t* pDest, int32_t nDestPitch, int32_t nChromaOffsetX, int32_t, int32_t nDestX,
                              int32_t nDestY, int32_t x, int32_t y, int32_t nWidth, int32_t nHeight)
{
    checkDestination(pDest, nWidth, nHeight, "copyPlanes");
    const std::ptrdiff_t pitch = nDestPitch;
    const lumo::P<lumo::IMemoryBlock> luma = getImagePlane(0, x, y, nWidth, nHeight);
    copyRows(luma->getData(), nWidth, pDest + pitch * nDestY + nDestX, pitch, nWidth, nHeight);
    const lumo::P<lumo::IMemoryBlock> chroma = getImagePlane(1, x, y, nWidth, nHeight);
    copyRows(chroma->getData(), nWidth, pDest + pitch * nDestY / 2 + 2 * std::ptrdiff_t(nChromaOffsetX) + nDestX, pitch,
             nWidth, nHeight / 2);
}

lumo::String CNV12Picture::getConverterName() { return "nv12rgbMain"; }

void CNV12Picture::reduceQuarter()
{
    const int64_t width = getWidth(), height = getHeight();
    const int64_t newWidth = width / 4, newHeight = height / 4;
    lumo::P<lumo::IMemoryBlock> reduced = allocateLongestBlock(newWidth, newHeight);
    keepEveryFourth(getLumaPlane(width, height), reduced->getData(), getLumaPlane(newWidth, newHeight));
    keepEveryFourth(getChromaPlane(width, height, getPlaneRows()), reduced->getData(),
                    getChromaPlane(newWidth, newHeight, newHeight));
    replacePixels(std::move(reduced), static_cast<int32_t>(newWidth), static_cast<int32_t>(newHeight));
}

void CNV12Picture::convertToRGB(uint8_t* rgb)
{
    const int64_t lumaBytes = int64_t(getWidth()) * getPlaneRows();
    convertNV12ToRGB(getPixels(), getPixels() + lumaBytes, getWidth(), getHeight(), rgb);
}

} // namespace nebo::common
