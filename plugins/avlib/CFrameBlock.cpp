#include "plugins/avlib/CFrameBlock.h"

#include "foundation/CInvalidArgError.h"

#include <new>

namespace nebo::avlib {

CFrameBlock::CFrameBlock(const AVBufferRef& buffer, uint8_t* data, int32_t length)
    : m_buffer(av_buffer_ref(&buffer)), m_data(data), m_length(length), m_size(length)
{
    if (!m_buffer)
        throw std::bad_alloc();
}

CFrameBlock::~CFrameBlock()
{
    av_buffer_unref(&m_buffer);
}

void CFrameBlock::reserve(int32_t capacity)
{
    if (capacity > m_length)
        throw lumo::CInvalidArgError("a decoded frame's block cannot grow", "reserve", this);
}

int32_t CFrameBlock::getCapacity()
{
    return m_length;
}

void CFrameBlock::setSize(int32_t size)
{
    if (size < 0 || size > m_length)
        throw lumo::CInvalidArgError("the size must lie between 0 and the block's length", "setSize", this);
    m_size = size;
}

int32_t CFrameBlock::getSize()
{
    return m_size;
}

uint8_t* CFrameBlock::getData()
{
    return m_data;
}

} // namespace nebo::avlib
