#pragma once

#include "plugins/avlib/avHolders.h"
#include "streams/IMemoryManager.h"

namespace nebo::avlib {

// Lends a decoder blocks of the memory manager laid out as the pictures its
// frames become, so that a frame is written once, by the decoder, into what
// CPictureMaker then hands out as the picture's block. Our layouts have
// fixed pitches, so a frame is lent such a block only when the decoder takes
// our pitches (alignment, width it writes); where it writes more rows than
// the picture has (whole blocks of rows), the planes are spaced for those
// rows (see CPictureBase::getPlaneRows). Every other frame, and every frame
// of a decoder that does not let the caller allocate, gets the library's own
// buffers. Whichever the decoder thread, the memory manager is the only
// state it touches.
class CPictureBuffers {
public:
    explicit CPictureBuffers(lumo::P<lumo::IMemoryManager> memory);
    CPictureBuffers(const CPictureBuffers&) = delete;
    CPictureBuffers& operator=(const CPictureBuffers&) = delete;

    // Makes the decoder ask this object for its frames' memory from the next
    // frame on. This object must outlive the decoder; the blocks lent live
    // on until the library releases them.
    void attach(AVCodecContext& context);
    // Sets the frame's buffer, planes and pitches to a lent block when the
    // frame (its format and size set by the decoder) can be decoded into a
    // picture of the decoder's size; false, leaving it untouched, otherwise.
    // Throws what the memory manager throws, or std::bad_alloc.
    bool lend(AVCodecContext& context, AVFrame& frame);

private:
    static int getBuffer(AVCodecContext* context, AVFrame* frame, int flags);

    const lumo::P<lumo::IMemoryManager> m_memory;
};

} // namespace nebo::avlib
