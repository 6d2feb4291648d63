#pragma once

#include "remote/TRemoteVarValue.h"

namespace lumo {

template <> struct TRemoteValueCodec<String> {
    static void write(IDataOutStream& out, const String& value) { out.writeString(*value.get()); }
    static String read(IDataInStream& in) { return in.readString(); }
};

// A text, UTF-8 behind a 32-bit byte count on the wire.
class CRemoteVarString : public TRemoteVarValue<String> {
public:
    explicit CRemoteVarString(const String& name, const String& value = String()) : TRemoteVarValue(name, value) {}
};

} // namespace lumo
