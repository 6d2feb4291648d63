#include "host/wire/CSharedPictureRing.h"

#include "foundation/CInvalidArgError.h"
#include "host/wire/CSharedPictureBlock.h"
#include "host/wire/ISharedPictureServer.h"
#include "media/CNEBError.h"

#include <algorithm>
#include <limits>

namespace nebo::common {

namespace {

std::vector<lumo::P<lumo::ISharedMemory>> createBuffers(int32_t count, int64_t bufferBytes)
{
    if (count < 1 || count > ISharedPictureServer::maxRingBuffers)
        throw lumo::CInvalidArgError("a ring holds 1 to 31 buffers", "CSharedPictureRing");
    std::vector<lumo::P<lumo::ISharedMemory>> buffers;
    for (int32_t i = 0; i < count; ++i)
        buffers.push_back(lumo::createSharedMemory(bufferBytes));
    return buffers;
}

uint32_t bitOf(int32_t index) { return uint32_t{1} << index; }

lumo::String number(int64_t value) { return lumo::String::fromInt(value); }

} // namespace

CSharedPictureRing::CSharedPictureRing(int32_t count, int64_t bufferBytes)
    : m_buffers(createBuffers(count, bufferBytes)), m_bufferBytes(bufferBytes)
{
}

lumo::P<lumo::IMemoryBlock> CSharedPictureRing::takeBlock(int32_t index, int32_t offset, int32_t length)
{
    const int32_t count = int32_t(m_buffers.size());
    if (index < 0 || index >= count)
        throw CNEBError(lumo::String("the slave named shared picture buffer ") + number(index) +
                        lumo::String(", where there are ") + number(count));
    if (offset < 0 || length < 0 || int64_t{offset} + length > m_bufferBytes)
        throw CNEBError(lumo::String("the slave named ") + number(length) + lumo::String(" bytes at offset ") +
                        number(offset) + lumo::String(" of a shared picture buffer of ") + number(m_bufferBytes) +
                        lumo::String(" bytes"));
    if (m_held.fetch_or(bitOf(index)) & bitOf(index))
        throw CNEBError(lumo::String("the slave handed over shared picture buffer ") + number(index) +
                        lumo::String(", which a picture of the master still holds"));
    const int64_t room = std::min<int64_t>(m_bufferBytes - offset, std::numeric_limits<int32_t>::max());
    return lumo::make<CSharedPictureBlock>(lumo::P<IBufferLender>(this), index,
                                           m_buffers[size_t(index)]->getData() + offset, length, int32_t(room));
}

int32_t CSharedPictureRing::takeReleased() { return int32_t(m_released.exchange(0)); }

void CSharedPictureRing::giveBack(int32_t index) noexcept
{
    m_held.fetch_and(~bitOf(index));
    m_released.fetch_or(bitOf(index));
}

} // namespace nebo::common
