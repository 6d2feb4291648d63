#pragma once

#include "foundation/CObject.h"
#include "media/IAudioChunk.h"

namespace nebo::audio {

// A time stamp and a block of sample bytes. Not locked.
class CAudioChunk : public lumo::CObject, public virtual IAudioChunk {
public:
    // The longest chunk a read accepts until setMaxDataSize says otherwise.
    static constexpr int32_t defaultMaxDataSize = 64 << 20;

    // `block` may be null: such a chunk has no data and cannot read.
    CAudioChunk(double timestamp, lumo::P<lumo::IMemoryBlock> block);

    double getTimestamp() override;
    // Null without a block.
    uint8_t* getData() override;
    int32_t getDataSize() override;
    lumo::P<lumo::IMemoryBlock> getMemoryBlock() override;

    // The longest chunk a read accepts from now on, set by the chunk's owner
    // before reading. Throws CInvalidArgError for a negative bound.
    void setMaxDataSize(int32_t maxBytes);

    // The time stamp, the block's length and its bytes.
    void write(lumo::IDataOutStream& out) override;
    // Reads into the chunk's own block, which takes the received length.
    // Throws CInvalidObjectStateError for a chunk without a block, and
    // CException for a length below 0 or above the bound of setMaxDataSize
    // before the block grows or any byte is taken; the stream's errors when
    // the bytes are cut short.
    bool read(lumo::IDataInStream& in) override;

private:
    double m_timestamp;
    lumo::P<lumo::IMemoryBlock> m_block;
    int32_t m_maxDataSize = defaultMaxDataSize;
};

} // namespace nebo::audio
