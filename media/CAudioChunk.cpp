#include "media/CAudioChunk.h"

#include "foundation/CException.h"
#include "foundation/CInvalidArgError.h"
#include "foundation/CInvalidObjectStateError.h"
#include "media/blockTransfer.h"
#include "streams/IDataInStream.h"
#include "streams/IDataOutStream.h"

namespace nebo::audio {

CAudioChunk::CAudioChunk(double timestamp, lumo::P<lumo::IMemoryBlock> block)
    : m_timestamp(timestamp), m_block(std::move(block))
{
}

double CAudioChunk::getTimestamp() { return m_timestamp; }

uint8_t* CAudioChunk::getData() { return m_block ? m_block->getData() : nullptr; }

int32_t CAudioChunk::getDataSize() { return m_block ? m_block->getSize() : 0; }

lumo::P<lumo::IMemoryBlock> CAudioChunk::getMemoryBlock() { return m_block; }

void CAudioChunk::setMaxDataSize(int32_t maxBytes)
{
    if (maxBytes < 0)
        throw lumo::CInvalidArgError("the bound of a chunk's length must not be negative", "setMaxDataSize", this);
    m_maxDataSize = maxBytes;
}

void CAudioChunk::write(lumo::IDataOutStream& out)
{
    out.writeDouble(m_timestamp);
    common::writeBlockBytes(out, getData(), getDataSize());
}

bool CAudioChunk::read(lumo::IDataInStream& in)
{
    if (!m_block)
        throw lumo::CInvalidObjectStateError("an audio chunk needs a block to read into", this);
    const double timestamp = in.readDouble();
    const int32_t length = in.readInt32();
    if (length < 0 || length > m_maxDataSize)
        throw lumo::CException(lumo::String("A received audio chunk claims ") + lumo::String::fromInt(length) +
                                   lumo::String(" bytes; it may hold 0 to ") + lumo::String::fromInt(m_maxDataSize) +
                                   lumo::String("."),
                               lumo::String("Error"));
    common::readBlockBytes(in, *m_block, length);
    m_timestamp = timestamp;
    return true;
}

} // namespace nebo::audio
