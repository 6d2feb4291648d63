#pragma once

#include "media/CYUVPicture.h"

namespace nebo::common {

// One plane of pitch 2*width: every 4 bytes are two pixels as Y0, U, Y1, V.
class CYUY2Picture : public CYUVPicture {
public:
    // As CRGBPicture's, with a block of at least 2*width*height bytes.
    CYUY2Picture(lumo::P<lumo::IMemoryManager> manager, double timestamp, lumo::P<lumo::IMemoryBlock> block,
                 int32_t width, int32_t height, bool bottomUp);

    int32_t getType() override;
    // Per row nWidth words 0x80108010.
    void fillBlack(uint8_t* pDest, int32_t nDestPitch, int32_t nWidth, int32_t nHeight) override;
    void copyPlanes(uint8_t* pDest, int32_t nDestPitch, int32_t nChromaOffsetX, int32_t nChromaOffsetY, int32_t nDestX,
                    int32_t nDestY, int32_t x, int32_t y, int32_t nWidth, int32_t nHeight) override;
    lumo::String getConverterName() override;
    // Output pixels 2c and 2c + 1 of row r are the pair 4c of stored row 4r;
    // for an odd new width the lone last pixel takes that pair's Y0 and U.
    void reduceQuarter() override;

protected:
    int64_t getLayoutSize(int64_t width, int64_t height) const override;
    int32_t getPlaneCount() const override;
    const char* getLayoutName() const override;
    void getPlaneWindow(int32_t nPlane, int64_t& offset, int64_t& length) override;
    lumo::P<lumo::IMemoryBlock> copyPlaneRegion(int32_t nPlane, int32_t x, int32_t y, int32_t nWidth,
                                                int32_t nHeight) override;
    void convertToRGB(uint8_t* rgb) override;
};

} // namespace nebo::common
