#pragma once

#include "expectError.h"
#include "foundation/CException.h"
#include "streams/CDataInStream.h"
#include "streams/CDataOutStream.h"
#include "streams/CProbeStream.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lumo {

// A string: its UTF-8 byte count, then the bytes.
inline Bytes wireString(const std::string& utf8)
{
    return wireUInt32(static_cast<uint32_t>(utf8.size())) + Bytes(utf8.begin(), utf8.end());
}

inline Bytes wireInt(const std::string& name, int32_t value)
{
    return wireString(name) + wireUInt32(static_cast<uint32_t>(value));
}

// The text naming a failure: remote-call errors carry it as their title, others as their description.
inline std::string messageOf(const CException& error)
{
    const P<IString> description = error.getDescription();
    return (description->isEmpty() ? error.getGeneralDescription() : description)->toUTF8();
}

// Expects the operation to throw an E that names the failure `expected`.
template <class E = CException> void expectMessage(const std::string& expected, const std::function<void()>& operation)
{
    expectThrow<E>(operation, [&](const E& error) { EXPECT_EQ(messageOf(error), expected); });
}

// A memory stream with a data stream for each direction.
struct WireFixture : testing::Test {
    Bytes written(ISerializable& variable)
    {
        stream->clear();
        variable.write(*out);
        return stream->bytes();
    }

    // The stream holds `bytes`, to be read from the start.
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
