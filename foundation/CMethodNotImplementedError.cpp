#include "foundation/CMethodNotImplementedError.h"

namespace lumo {

CMethodNotImplementedError::CMethodNotImplementedError(const String& methodName, IBase* object,
                                                       const std::type_info* type)
    : CObjectError(object, type, String()), m_methodName(methodName)
{
    setDescription("Method not implemented (" + getObjectText() + "): " + textOr(methodName, "unspecified method") +
                   ".");
}

P<CException> CMethodNotImplementedError::clone() const { return make<CMethodNotImplementedError>(*this); }

P<IString> CMethodNotImplementedError::getMethodName() const { return m_methodName.get(); }

} // namespace lumo
