#pragma once

#include "remote/CRemoteException.h"
#include "remote/CRemoteVar.h"
#include "streams/IDataInStream.h"
#include "streams/IDataOutStream.h"

#include <cstdint>
#include <type_traits>

namespace lumo {

// A plain structure sent as it lies in memory: its size as a 32-bit count,
// then its bytes. Both sides must lay T out alike. The name does not travel
// and is not checked.
template <class T> class CRemoteVarStruct : public CRemoteVar {
    static_assert(std::is_trivially_copyable_v<T>, "only plain structures can travel as raw bytes");

public:
    explicit CRemoteVarStruct(const String& name, const T& value = T()) : CRemoteVar(name), m_value(value) {}

    const T& getValue() const { return m_value; }
    void setValue(const T& value) { m_value = value; }

    void write(IDataOutStream& out) override
    {
        out.writeUInt32(sizeof(T));
        out.write(&m_value, sizeof(T));
    }

    // A size other than that of T throws CRemoteException "CRemoveVarStruct:
    // size of struct is different" before any byte of the structure is read.
    // The value changes only once all its bytes came.
    bool read(IDataInStream& in) override
    {
        if (in.readUInt32() != sizeof(T))
            throw CRemoteException("CRemoveVarStruct: size of struct is different");
        T received = m_value;
        in.readFully(&received, sizeof(T));
        m_value = received;
        return true;
    }

private:
    T m_value;
};

} // namespace lumo
