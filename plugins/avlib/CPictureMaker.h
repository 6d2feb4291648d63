#pragma once

#include "foundation/IURI.h"
#include "media/INEBPicture.h"
#include "plugins/avlib/avHolders.h"
#include "plugins/avlib/pictureLayout.h"
#include "streams/IMemoryManager.h"

namespace nebo::avlib {

// Turns decoded frames into pictures, top row first. A frame in one of the
// picture layouts becomes the picture without a copy when its memory is laid
// out as the picture's block, its planes maybe spaced for more rows (as in
// blocks CPictureBuffers lends), and is copied otherwise; any other is
// converted with one libswscale call (bicubic), to YV12 when its chroma is
// halved both ways and to RGB otherwise. A frame larger than the maximum
// size is scaled down in that same call, into its own layout. Not locked.
class CPictureMaker {
public:
    explicit CPictureMaker(lumo::P<lumo::IMemoryManager> memory);
    CPictureMaker(const CPictureMaker&) = delete;
    CPictureMaker& operator=(const CPictureMaker&) = delete;

    // A size of 0 or below in either direction lifts the limit.
    void setMaxSize(int32_t width, int32_t height);
    // The size of the pictures a frame of this size gives: the frame's own
    // when it fits, otherwise the largest even size within the limit that
    // keeps its aspect.
    SPictureSize getPictureSize(int32_t width, int32_t height) const;
    // Throws lumo::CError naming `uri` when the library cannot convert the
    // frame or the picture would not fit in a memory block. A picture that
    // shares the frame's memory keeps the frame's buffer referenced, so the
    // decoder leaves it alone while the picture lives.
    lumo::P<common::INEBPicture> makePicture(const AVFrame& frame, double timestamp, const lumo::IURI& uri);

private:
    // One libswscale call from the frame into the planes of `block`.
    void convert(const AVFrame& frame, const SPictureSize& size, const SLayout& layout,
                 const std::vector<SPlaneSpot>& planes, lumo::IMemoryBlock& block, const lumo::IURI& uri);

    lumo::P<lumo::IMemoryManager> m_memory;
    SPictureSize m_maxSize;
    SwsPtr m_scaler;
};

} // namespace nebo::avlib
