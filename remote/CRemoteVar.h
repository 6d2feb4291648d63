#pragma once

#include "foundation/CObject.h"
#include "foundation/String.h"
#include "streams/ISerializable.h"

namespace lumo {

// A named parameter or result of a remote procedure. Each kind fixes its own
// wire form; the named kinds put the name in front of the value and check it
// when reading, so that caller and server notice when they disagree about
// the procedure. A variable carries no lock: one call uses it at a time.
class CRemoteVar : public CObject, public virtual ISerializable {
public:
    const String& getName() const;

protected:
    explicit CRemoteVar(const String& name);

    void writeName(IDataOutStream& out) const;
    // Reads a name and throws CRemoteException "Parameter not expected" unless
    // it equals this variable's name exactly (case counts). The stream stays
    // where the name ended.
    void checkName(IDataInStream& in) const;

private:
    const String m_name;
};

} // namespace lumo
