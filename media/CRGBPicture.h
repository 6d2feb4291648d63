#pragma once

#include "media/CPictureBase.h"

namespace nebo::common {

// A picture of 32-bit pixels (blue in the lowest byte), pitch width*4.
class CRGBPicture : public CPictureBase {
public:
    // A null `manager` means the process-wide one. `block` may be null only
    // for an empty (0 by 0) picture. Throws CInvalidArgError for a negative
    // size or a block of fewer than width*height*4 bytes.
    CRGBPicture(lumo::P<lumo::IMemoryManager> manager, double timestamp, lumo::P<lumo::IMemoryBlock> block,
                int32_t width, int32_t height, bool bottomUp);

    lumo::P<lumo::IMemoryBlock> getRGBData(int32_t x, int32_t y, int32_t nWidth, int32_t nHeight) override;
    void copyRGB(uint8_t* pDest, int32_t nDestPitch, int32_t x, int32_t y, int32_t nWidth, int32_t nHeight) override;
    lumo::P<CRGBPicture> getRGBPicture() override;
    int32_t getType() override;
    // Plane 0 is getRGBData; there is no other.
    lumo::P<lumo::IMemoryBlock> getImagePlane(int32_t nPlane, int32_t x, int32_t y, int32_t nWidth,
                                              int32_t nHeight) override;
    // RGB has no black of its own to fill nor planes to copy: both do nothing.
    void fillBlack(uint8_t* pDest, int32_t nDestPitch, int32_t nWidth, int32_t nHeight) override;
    void copyPlanes(uint8_t* pDest, int32_t nDestPitch, int32_t nChromaOffsetX, int32_t nChromaOffsetY, int32_t nDestX,
                    int32_t nDestY, int32_t x, int32_t y, int32_t nWidth, int32_t nHeight) override;
    lumo::String getConverterName() override;
    void reduceQuarter() override;

protected:
    int64_t getLayoutSize(int64_t width, int64_t height) const override;
};

} // namespace nebo::common
