#pragma once

#include "foundation/CObjectError.h"

namespace lumo {

// A method was passed an argument that it cannot accept. Empty texts read
// "unspecified method" and "unspecified argument". The object rules of
// CObjectError apply.
class CInvalidArgError : public CObjectError {
public:
    CInvalidArgError(const String& argumentText, const String& methodName = String(), IBase* object = nullptr,
                     const std::type_info* type = nullptr);

    P<CException> clone() const override;

    P<IString> getArgumentText() const;
    P<IString> getMethodName() const;

private:
    String m_argumentText;
    String m_methodName;
};

} // namespace lumo
