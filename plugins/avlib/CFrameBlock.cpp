#include "plugins/avlib/CFrameBlock.h"

#include <new>

namespace nebo::avlib {

CFrameBlock::CFrameBlock(const AVBufferRef& buffer, uint8_t* data, int32_t length)
    : CFixedMemoryBlock(data, length, length), m_buffer(av_buffer_ref(&buffer))
{
    if (!m_buffer)
        throw std::bad_alloc();
}

CFrameBlock::~CFrameBlock() { av_buffer_unref(&m_buffer); }

} // namespace nebo::avlib
