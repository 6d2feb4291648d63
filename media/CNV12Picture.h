#pragma once

#include "media/CYUVPicture.h"

namespace nebo::common {

// A Y plane of pitch width, then height/2 rows of interleaved U, V pairs,
// pitch width (an odd width leaves the last byte of a chroma row unused),
// at w*h (with h the plane rows, where the planes are spaced).
class CNV12Picture : public CYUVPicture {
public:
    // As CRGBPicture's, with a block of at least w*r + w*r/2 bytes for r
    // plane rows (0: the height; see CPictureBase::getPlaneRows).
    CNV12Picture(lumo::P<lumo::IMemoryManager> manager, double timestamp, lumo::P<lumo::IMemoryBlock> block,
                 int32_t width, int32_t height, bool bottomUp, int32_t planeRows = 0);

    int32_t getType() override;
    void copyPlanes(uint8_t* pDest, int32_t nDestPitch, int32_t nChromaOffsetX, int32_t nChromaOffsetY, int32_t nDestX,
                    int32_t nDestY, int32_t x, int32_t y, int32_t nWidth, int32_t nHeight) override;
    lumo::String getConverterName() override;
    void reduceQuarter() override;

protected:
    int64_t getLayoutSize(int64_t width, int64_t height) const override;
    int32_t getPlaneCount() const override;
    const char* getLayoutName() const override;
    void getPlaneWindow(int32_t nPlane, int64_t& offset, int64_t& length) override;
    lumo::P<lumo::IMemoryBlock> copyPlaneRegion(int32_t nPlane, int32_t x, int32_t y, int32_t nWidth,
                                                int32_t nHeight) override;
    void convertToRGB(uint8_t* rgb) override;

private:
    // The planes for a size: Y, then chroma pairs after `planeRows` rows.
    static SPlane getLumaPlane(int64_t width, int64_t height);
    static SPlane getChromaPlane(int64_t width, int64_t height, int64_t planeRows);
};

} // namespace nebo::common
