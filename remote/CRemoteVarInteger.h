#pragma once

#include "remote/TRemoteVarValue.h"

#include <cstdint>

namespace lumo {

template <> struct TRemoteValueCodec<int32_t> {
    static void write(IDataOutStream& out, int32_t value) { out.writeInt(value); }
    static int32_t read(IDataInStream& in) { return in.readInt(); }
};

// A signed 32-bit value, 4 bytes on the wire.
class CRemoteVarInteger : public TRemoteVarValue<int32_t> {
public:
    explicit CRemoteVarInteger(const String& name, int32_t value = 0) : TRemoteVarValue(name, value) {}
};

} // namespace lumo
