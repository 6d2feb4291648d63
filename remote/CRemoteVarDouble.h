#pragma once

#include "remote/TRemoteVarValue.h"

namespace lumo {

template <> struct TRemoteValueCodec<double> {
    static void write(IDataOutStream& out, double value) { out.writeDouble(value); }
    static double read(IDataInStream& in) { return in.readDouble(); }
};

// A double, 8 bytes on the wire.
class CRemoteVarDouble : public TRemoteVarValue<double> {
public:
    explicit CRemoteVarDouble(const String& name, double value = 0.0) : TRemoteVarValue(name, value) {}
};

} // namespace lumo
