#pragma once

#include "media/CPictureBase.h"
#include "media/CRGBPicture.h"

namespace nebo::common {

// What the YUV layouts share: the RGB picture made once, on the first RGB
// request, and kept (a read or a reduction drops it), and the checks and
// whole-picture views of getImagePlane.
class CYUVPicture : public CPictureBase {
public:
    // Answered from the RGB picture.
    lumo::P<lumo::IMemoryBlock> getRGBData(int32_t x, int32_t y, int32_t nWidth, int32_t nHeight) override;
    void copyRGB(uint8_t* pDest, int32_t nDestPitch, int32_t x, int32_t y, int32_t nWidth, int32_t nHeight) override;
    // Converts on the first call only. Throws CInvalidArgError for a picture
    // whose RGB form would not fit in a block.
    lumo::P<CRGBPicture> getRGBPicture() override;
    // Null for a plane the layout lacks. An odd `nWidth` throws CNEBError;
    // a region outside the picture CInvalidArgError. The whole picture gives
    // plane 0 as the picture's own block and the others as views on it,
    // the planes without gaps (spaced planes are moved together into a new
    // block first); any other region is a copy.
    lumo::P<lumo::IMemoryBlock> getImagePlane(int32_t nPlane, int32_t x, int32_t y, int32_t nWidth,
                                              int32_t nHeight) override;
    // The planar black: per row 2*nWidth bytes 0x10, then 2*nWidth bytes 0x80.
    void fillBlack(uint8_t* pDest, int32_t nDestPitch, int32_t nWidth, int32_t nHeight) override;
    // As CPictureBase's; spaced planes go out without their gaps, as those
    // of a picture whose plane rows are its height.
    void write(lumo::IDataOutStream& out) override;

protected:
    using CPictureBase::CPictureBase;

    void onPixelsReplaced() override;

    virtual int32_t getPlaneCount() const = 0;
    // The class name that starts getImagePlane's error text.
    virtual const char* getLayoutName() const = 0;
    // The start and length of a plane (1 or more) of the whole picture; the
    // plane's rows follow each other without gaps.
    virtual void getPlaneWindow(int32_t nPlane, int64_t& offset, int64_t& length) = 0;
    // A checked region of a plane as a new block.
    virtual lumo::P<lumo::IMemoryBlock> copyPlaneRegion(int32_t nPlane, int32_t x, int32_t y, int32_t nWidth,
                                                        int32_t nHeight) = 0;
    // The whole (non-empty) picture into width*height pixels.
    virtual void convertToRGB(uint8_t* rgb) = 0;

private:
    // Calls `take(bytes, length)` for each plane in the layout's order.
    template <class F> void forEachPlane(F&& take);
    // Takes a block of the same pixels whose planes follow each other
    // without gaps.
    void closeGaps();

    lumo::P<CRGBPicture> m_rgbPicture;
};

} // namespace nebo::common
