#pragma once

#include "foundation/CObjectError.h"

namespace lumo {

// A method that the object's class does not provide. The object rules of
// CObjectError apply.
class CMethodNotImplementedError : public CObjectError {
public:
    CMethodNotImplementedError(const String& methodName, IBase* object, const std::type_info* type = nullptr);

    P<CException> clone() const override;

    P<IString> getMethodName() const;

private:
    String m_methodName;
};

} // namespace lumo
