#pragma once

#include "foundation/P.h"
#include "foundation/String.h"
#include "streams/IMemoryBlock.h"
#include "streams/ISerializable.h"

#include <cstdint>

namespace nebo::common {

class CRGBPicture;

// Type codes of the picture layouts, as they travel on the pipe.
enum : int32_t {
    rgbPictureType = 1,
    yuy2PictureType = 2,
    nv12PictureType = 3,
    yv12PictureType = 4,
};

// A picture's stored planes: its own block, whose first `bytes` bytes hold
// the planes laid out for `planeRows` rows (see CPictureBase).
struct SStoredPixels {
    lumo::P<lumo::IMemoryBlock> block;
    int64_t bytes = 0;
    int32_t planeRows = 0;
};

// A decoded video frame: a block of pixels in one of four layouts, a time
// stamp and the row order. Every picture hands out its pixels as 32-bit RGB
// (blue in the lowest byte), converting once on demand. Regions are given
// in pixels; a region must lie inside the picture. Not locked: one thread
// uses a picture at a time.
class INEBPicture : public virtual lumo::IBase, public virtual lumo::ISerializable {
public:
    // Seconds.
    virtual double getTimestamp() = 0;
    virtual int32_t getWidth() = 0;
    virtual int32_t getHeight() = 0;
    // Rows are stored last row first.
    virtual bool isBottomUp() = 0;
    // The region as RGB pixels with pitch nWidth*4, rows in stored order.
    // The whole picture is the picture's own block, not a copy.
    virtual lumo::P<lumo::IMemoryBlock> getRGBData(int32_t x, int32_t y, int32_t nWidth, int32_t nHeight) = 0;
    // The region as RGB pixels into the caller's buffer, top row first.
    virtual void copyRGB(uint8_t* pDest, int32_t nDestPitch, int32_t x, int32_t y, int32_t nWidth, int32_t nHeight) = 0;
    // The picture as RGB; an RGB picture is itself.
    virtual lumo::P<CRGBPicture> getRGBPicture() = 0;
    virtual int32_t getType() = 0;
    // No block for a picture without pixels.
    virtual SStoredPixels getStoredPixels() = 0;
    // A region of one stored plane, or null for a plane the layout lacks.
    virtual lumo::P<lumo::IMemoryBlock> getImagePlane(int32_t nPlane, int32_t x, int32_t y, int32_t nWidth,
                                                      int32_t nHeight) = 0;
    // Black in the picture's own layout into a region of the caller's buffer.
    virtual void fillBlack(uint8_t* pDest, int32_t nDestPitch, int32_t nWidth, int32_t nHeight) = 0;
    // A region of the stored planes into one caller buffer.
    virtual void copyPlanes(uint8_t* pDest, int32_t nDestPitch, int32_t nChromaOffsetX, int32_t nChromaOffsetY,
                            int32_t nDestX, int32_t nDestY, int32_t x, int32_t y, int32_t nWidth, int32_t nHeight) = 0;
    // Names the conversion to RGB; empty for RGB.
    virtual lumo::String getConverterName() = 0;
    // Shrinks the picture in place to a quarter of its width and height.
    virtual void reduceQuarter() = 0;
};

} // namespace nebo::common
