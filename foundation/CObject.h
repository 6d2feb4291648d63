#pragma once

#include "foundation/CReferencable.h"
#include "foundation/IBase.h"
#include "foundation/P.h"

#include <string>
#include <typeinfo>

namespace lumo {

// The base class of every concrete class. Concrete classes add their
// interfaces as further virtual bases and are created with make<T>().
class CObject : public CReferencable, public virtual IBase {
public:
    void addRef() const override;
    void release() const override;
    // Offers every interface the class derives from.
    bool getInterface(const std::type_info& type, P<IBase>& redirect, Candidates& candidates) override;
    // "class <qualified name> object".
    P<IString> toString() const override;
};

// The class name as messages show it: "class " and the qualified name.
std::string getClassName(const std::type_info& type);

} // namespace lumo
