#include "foundation/CInvalidObjectStateError.h"

namespace lumo {

CInvalidObjectStateError::CInvalidObjectStateError(const String& stateMessage, IBase* object,
                                                   const std::type_info* type)
    : CObjectError(object, type, String()), m_stateMessage(stateMessage)
{
    setDescription("The object is in an invalid state (" + getObjectText() + "): " + stateMessage + ".");
}

P<CException> CInvalidObjectStateError::clone() const { return make<CInvalidObjectStateError>(*this); }

P<IString> CInvalidObjectStateError::getStateMessage() const { return m_stateMessage.get(); }

} // namespace lumo
