#pragma once

#include "remote/CRemoteVar.h"

namespace lumo {

// A serializable object or null. On the wire its name, then the object's
// null flag, body and marker. No type travels, so a received body is read
// into the target: an object of the right class that the receiving side
// supplies (the object given at construction, or the first non-null value
// set later, or one set with setTarget).
class CRemoteVarObject : public CRemoteVar {
public:
    explicit CRemoteVarObject(const String& name, P<ISerializable> value = nullptr);

    P<ISerializable> getValue() const;
    // Also makes `value` the target when there is none yet.
    void setValue(P<ISerializable> value);
    P<ISerializable> getTarget() const;
    // The object that the next received body is read into.
    void setTarget(P<ISerializable> target);

    void write(IDataOutStream& out) override;
    // Afterwards the value is the target, or null when the null flag came;
    // the target stays for later reads. A body that arrives while there is no
    // target throws CRemoteException, as it cannot be read.
    bool read(IDataInStream& in) override;

private:
    P<ISerializable> m_value;
    P<ISerializable> m_target;
};

} // namespace lumo
