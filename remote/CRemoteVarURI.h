#pragma once

#include "foundation/IURI.h"
#include "remote/CRemoteVar.h"

namespace lumo {

// A URI or null. On the wire only the URI (its null flag, then its text):
// the name does not travel and is not checked, so a variable in the wrong
// place goes unnoticed.
class CRemoteVarURI : public CRemoteVar {
public:
    explicit CRemoteVarURI(const String& name, P<IURI> value = nullptr);

    P<IURI> getValue() const;
    void setValue(P<IURI> value);

    void write(IDataOutStream& out) override;
    // Replaces the held URI; throws what parsing the received text throws.
    bool read(IDataInStream& in) override;

private:
    P<IURI> m_value;
};

} // namespace lumo
