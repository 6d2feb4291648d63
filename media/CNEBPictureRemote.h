#pragma once

#include "foundation/CObject.h"
#include "media/INEBPictureRemote.h"
#include "streams/IMemoryManager.h"

namespace nebo::common {

// The picture wrapper of the pipe. Pixels go straight from the picture's
// block to the stream and from the stream into the new picture's block,
// which comes from the wrapper's memory manager: a wrapper that is read
// again lets go of its picture first, so the manager can hand the same
// block back when nothing else holds that picture. Not locked.
class CNEBPictureRemote : public lumo::CObject, public virtual INEBPictureRemote {
public:
    // A null `manager` means the process-wide one; `picture` may be null.
    explicit CNEBPictureRemote(lumo::P<lumo::IMemoryManager> manager, lumo::P<INEBPicture> picture = nullptr);

    lumo::P<INEBPicture> getPicture() override;

    // A read refuses a picture wider than `maxWidth` or higher than
    // `maxHeight`, before taking memory for it; without a bound any size
    // of the wire form is taken. Throws CInvalidArgError for a negative
    // bound.
    void setMaxSize(int32_t maxWidth, int32_t maxHeight);

    // The type code, then the picture's body. Throws
    // CInvalidObjectStateError for a wrapper without a picture.
    void write(lumo::IDataOutStream& out) override;
    // Throws CException "CNEBPictureRemote: unknown picture type received"
    // for a code other than 1 to 4, and the picture's errors (among them a
    // size beyond the bound of setMaxSize); the wrapper then holds no
    // picture.
    bool read(lumo::IDataInStream& in) override;

    // Neutral answers: 0, false, null, the empty string; the rest do nothing.
    double getTimestamp() override;
    int32_t getWidth() override;
    int32_t getHeight() override;
    bool isBottomUp() override;
    lumo::P<lumo::IMemoryBlock> getRGBData(int32_t x, int32_t y, int32_t nWidth, int32_t nHeight) override;
    void copyRGB(uint8_t* pDest, int32_t nDestPitch, int32_t x, int32_t y, int32_t nWidth, int32_t nHeight) override;
    lumo::P<CRGBPicture> getRGBPicture() override;
    int32_t getType() override;
    SStoredPixels getStoredPixels() override;
    lumo::P<lumo::IMemoryBlock> getImagePlane(int32_t nPlane, int32_t x, int32_t y, int32_t nWidth,
                                              int32_t nHeight) override;
    void fillBlack(uint8_t* pDest, int32_t nDestPitch, int32_t nWidth, int32_t nHeight) override;
    void copyPlanes(uint8_t* pDest, int32_t nDestPitch, int32_t nChromaOffsetX, int32_t nChromaOffsetY, int32_t nDestX,
                    int32_t nDestY, int32_t x, int32_t y, int32_t nWidth, int32_t nHeight) override;
    lumo::String getConverterName() override;
    void reduceQuarter() override;

private:
    lumo::P<lumo::IMemoryManager> m_memoryManager;
    lumo::P<INEBPicture> m_picture;
    int32_t m_maxWidth;
    int32_t m_maxHeight;
};

} // namespace nebo::common
