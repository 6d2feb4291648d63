#pragma once

#include "streams/CDataInStream.h"
#include "streams/CDataOutStream.h"
#include "streams/CProbeStream.h"
#include "wireBytes.h"

#include <gtest/gtest.h>

namespace lumo {

// One memory stream with a data stream for each direction: what a variable
// writes, and what it reads from given bytes.
struct WireFixture : testing::Test {
    Bytes written(ISerializable& variable)
    {
        stream->clear();
        variable.write(*out);
        return stream->bytes();
    }

    // The stream holds `bytes`, ready to be read from the start.
    IDataInStream& feed(const Bytes& bytes)
    {
        stream->fill(bytes);
        return *in;
    }

    P<CProbeStream> stream = make<CProbeStream>();
    P<CDataOutStream> out = make<CDataOutStream>(stream);
    P<CDataInStream> in = make<CDataInStream>(stream);
};

} // namespace lumo
