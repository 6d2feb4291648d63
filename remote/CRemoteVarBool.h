#pragma once

#include "remote/TRemoteVarValue.h"

namespace lumo {

template <> struct TRemoteValueCodec<bool> {
    static void write(IDataOutStream& out, bool value) { out.writeBool(value); }
    static bool read(IDataInStream& in) { return in.readBool(); }
};

// A truth value, 1 byte on the wire (any non-zero byte reads as true).
class CRemoteVarBool : public TRemoteVarValue<bool> {
public:
    explicit CRemoteVarBool(const String& name, bool value = false) : TRemoteVarValue(name, value) {}
};

} // namespace lumo
