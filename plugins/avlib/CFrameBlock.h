#pragma once

#include "streams/CFixedMemoryBlock.h"

extern "C" {
#include <libavutil/buffer.h>
}

namespace nebo::avlib {

// A picture's block that is the memory a decoder wrote the frame into: a
// fixed window on one of the library's buffers, which it keeps referenced.
// While the block lives the buffer is not writable for the library, so a
// decoder that keeps the frame for reference never writes into it again.
// Not locked, like blocks.
class CFrameBlock : public lumo::CFixedMemoryBlock {
public:
    // The `length` bytes at `data`, which must lie inside `buffer`; takes a
    // reference of its own to `buffer`. Throws std::bad_alloc when the
    // library cannot make the reference.
    CFrameBlock(const AVBufferRef& buffer, uint8_t* data, int32_t length);
    ~CFrameBlock() override;

private:
    AVBufferRef* m_buffer;
};

} // namespace nebo::avlib
