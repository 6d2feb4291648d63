#include "media/CMemoryBlockView.h"

#include "foundation/CInvalidArgError.h"
#include "foundation/CInvalidObjectStateError.h"

namespace nebo::common {

namespace {

bool holdsWindow(lumo::IMemoryBlock& parent, int32_t offset, int32_t length)
{
    return offset >= 0 && length >= 0 && int64_t(offset) + length <= parent.getSize();
}

} // namespace

CMemoryBlockView::CMemoryBlockView(lumo::P<lumo::IMemoryBlock> parent, int32_t offset, int32_t length)
    : m_parent(std::move(parent)), m_offset(offset), m_length(length), m_size(length)
{
    if (!m_parent || !holdsWindow(*m_parent, offset, length))
        throw lumo::CInvalidArgError("the window must lie inside the parent block", "CMemoryBlockView");
}

void CMemoryBlockView::reserve(int32_t capacity)
{
    if (capacity > m_length)
        throw lumo::CInvalidArgError("a view cannot grow beyond its window", "reserve", this);
}

int32_t CMemoryBlockView::getCapacity() { return m_length; }

void CMemoryBlockView::setSize(int32_t size)
{
    if (size < 0 || size > m_length)
        throw lumo::CInvalidArgError("the size must lie between 0 and the window's length", "setSize", this);
    m_size = size;
}

int32_t CMemoryBlockView::getSize() { return m_size; }

uint8_t* CMemoryBlockView::getData()
{
    if (!holdsWindow(*m_parent, m_offset, m_length))
        throw lumo::CInvalidObjectStateError("the parent block no longer holds the window", this);
    return m_parent->getData() + m_offset;
}

} // namespace nebo::common
