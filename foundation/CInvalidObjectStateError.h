#pragma once

#include "foundation/CObjectError.h"

namespace lumo {

// An operation that the object cannot perform in its present state. The
// object rules of CObjectError apply.
class CInvalidObjectStateError : public CObjectError {
public:
    CInvalidObjectStateError(const String& stateMessage, IBase* object, const std::type_info* type = nullptr);

    P<CException> clone() const override;

    P<IString> getStateMessage() const;

private:
    String m_stateMessage;
};

} // namespace lumo
