#pragma once

#include "foundation/CObject.h"
#include "streams/IDataInStream.h"
#include "streams/IDataOutStream.h"
#include "streams/ISerializable.h"

#include <cstdint>
#include <vector>

namespace lumo {

// An object whose body is a row of 32-bit numbers; it reads back as many as told, so reading can disagree with writing.
class CTestRecord : public CObject, public virtual ISerializable {
public:
    explicit CTestRecord(std::vector<int32_t> values = {}) : values(std::move(values)), readCount(-1) {}

    void write(IDataOutStream& out) override
    {
        for (int32_t value : values)
            out.writeInt(value);
    }

    bool read(IDataInStream& in) override
    {
        const std::size_t count = readCount < 0 ? values.size() : static_cast<std::size_t>(readCount);
        values.clear();
        for (std::size_t i = 0; i < count; ++i)
            values.push_back(in.readInt());
        return true;
    }

    std::vector<int32_t> values;
    // How many numbers read() takes; -1: as many as the record holds.
    int32_t readCount;
};

} // namespace lumo
