#pragma once

#include "remote/CRemoteVar.h"
#include "streams/IDataInStream.h"
#include "streams/IDataOutStream.h"

#include <utility>

namespace lumo {

// How a value of type T travels; each value kind specialises it beside its class.
template <class T> struct TRemoteValueCodec;

// A named variable holding one plain value: on the wire its name, then the
// value. The value kinds differ only in their codec.
template <class T> class TRemoteVarValue : public CRemoteVar {
public:
    TRemoteVarValue(const String& name, T value) : CRemoteVar(name), m_value(std::move(value)) {}

    const T& getValue() const { return m_value; }
    void setValue(T value) { m_value = std::move(value); }

    void write(IDataOutStream& out) override
    {
        writeName(out);
        TRemoteValueCodec<T>::write(out, m_value);
    }

    // The value changes only once the name matched and the whole value came.
    bool read(IDataInStream& in) override
    {
        checkName(in);
        m_value = TRemoteValueCodec<T>::read(in);
        return true;
    }

private:
    T m_value;
};

} // namespace lumo
