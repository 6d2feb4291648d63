#include "foundation/CInvalidArgError.h"

namespace lumo {

CInvalidArgError::CInvalidArgError(const String& argumentText, const String& methodName, IBase* object,
                                   const std::type_info* type)
    : CObjectError(object, type, String()), m_argumentText(argumentText), m_methodName(methodName)
{
    setDescription("An invalid argument was passed to method '" + textOr(methodName, "unspecified method") + "' of '" +
                   getObjectText() + "': " + textOr(argumentText, "unspecified argument"));
}

P<CException> CInvalidArgError::clone() const { return make<CInvalidArgError>(*this); }

P<IString> CInvalidArgError::getArgumentText() const { return m_argumentText.get(); }

P<IString> CInvalidArgError::getMethodName() const { return m_methodName.get(); }

} // namespace lumo
