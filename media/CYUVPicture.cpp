#include "media/CYUVPicture.h"

#include "media/CMemoryBlockView.h"
#include "media/CNEBError.h"
#include "streams/IDataOutStream.h"

#include <cstring>
#include <string>

namespace nebo::common {

namespace {

constexpr int32_t rgbPixelBytes = 4;
constexpr uint8_t blackLuma = 0x10;
constexpr uint8_t blackChroma = 0x80;

} // namespace

lumo::P<lumo::IMemoryBlock> CYUVPicture::getRGBData(int32_t x, int32_t y, int32_t nWidth, int32_t nHeight)
{
    checkRegion(x, y, nWidth, nHeight, "getRGBData");
    return getRGBPicture()->getRGBData(x, y, nWidth, nHeight);
}

void CYUVPicture::copyRGB(uint8_t* pDest, int32_t nDestPitch, int32_t x, int32_t y, int32_t nWidth, int32_t nHeight)
{
    checkRegion(x, y, nWidth, nHeight, "copyRGB");
    checkDestination(pDest, nWidth, nHeight, "copyRGB");
    getRGBPicture()->copyRGB(pDest, nDestPitch, x, y, nWidth, nHeight);
}

lumo::P<CRGBPicture> CYUVPicture::getRGBPicture()
{
    if (!m_rgbPicture) {
        lumo::P<lumo::IMemoryBlock> rgb = allocateBlock(int64_t(getWidth()) * getHeight() * rgbPixelBytes);
        if (rgb->getSize() > 0)
            convertToRGB(rgb->getData());
        m_rgbPicture = lumo::make<CRGBPicture>(&getMemoryManager(), getTimestamp(), std::move(rgb), getWidth(),
                                               getHeight(), isBottomUp());
    }
    return m_rgbPicture;
}

lumo::P<lumo::IMemoryBlock> CYUVPicture::getImagePlane(int32_t nPlane, int32_t x, int32_t y, int32_t nWidth,
                                                       int32_t nHeight)
{
    if (nPlane < 0 || nPlane >= getPlaneCount())
        return nullptr;
    if (nWidth % 2 != 0)
        throw CNEBError(
            lumo::String::fromLatin1(std::string(getLayoutName()) + "::getImagePlane nWidth must be a pow of 2!"));
    checkRegion(x, y, nWidth, nHeight, "getImagePlane");
    if (!isWholePicture(x, y, nWidth, nHeight))
        return copyPlaneRegion(nPlane, x, y, nWidth, nHeight);
    if (getPlaneRows() != getHeight())
        closeGaps();
    if (nPlane == 0)
        return getBlock();
    int64_t offset = 0, length = 0;
    getPlaneWindow(nPlane, offset, length);
    return lumo::make<CMemoryBlockView>(getBlock(), static_cast<int32_t>(offset), static_cast<int32_t>(length));
}

void CYUVPicture::fillBlack(uint8_t* pDest, int32_t nDestPitch, int32_t nWidth, int32_t nHeight)
{
    checkDestination(pDest, nWidth, nHeight, "fillBlack");
    for (int32_t row = 0; row < nHeight; ++row) {
        uint8_t* line = pDest + std::ptrdiff_t(row) * nDestPitch;
        const size_t half = 2 * size_t(nWidth);
        std::memset(line, blackLuma, half);
        std::memset(line + half, blackChroma, half);
    }
}

void CYUVPicture::write(lumo::IDataOutStream& out)
{
    if (getPlaneRows() == getHeight()) {
        CPictureBase::write(out);
        return;
    }
    writeHeader(out);
    out.writeInt32(static_cast<int32_t>(getLayoutSize(getWidth(), getHeight())));
    forEachPlane([&](const uint8_t* bytes, int64_t length) { out.write(bytes, static_cast<int32_t>(length)); });
}

template <class F> void CYUVPicture::forEachPlane(F&& take)
{
    take(getPixels(), int64_t(getWidth()) * getHeight());
    for (int32_t plane = 1; plane < getPlaneCount(); ++plane) {
        int64_t offset = 0, length = 0;
        getPlaneWindow(plane, offset, length);
        take(getPixels() + offset, length);
    }
}

void CYUVPicture::closeGaps()
{
    lumo::P<lumo::IMemoryBlock> compact = allocateBlock(getLayoutSize(getWidth(), getHeight()));
    uint8_t* next = compact->getData();
    forEachPlane([&](const uint8_t* bytes, int64_t length) {
        std::memcpy(next, bytes, size_t(length));
        next += length;
    });
    // The RGB picture made before stays right: the pixels are the same.
    lumo::P<CRGBPicture> rgb = std::move(m_rgbPicture);
    replacePixels(std::move(compact), getWidth(), getHeight());
    m_rgbPicture = std::move(rgb);
}

void CYUVPicture::onPixelsReplaced() { m_rgbPicture = nullptr; }

} // namespace nebo::common
