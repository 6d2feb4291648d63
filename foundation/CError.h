#pragma once

#include "foundation/CException.h"

namespace lumo {

// The base of the errors of this library and of its users. Empty texts are
// replaced by "Unspecified error" and the title "Error".
class CError : public CException {
public:
    explicit CError(const String& description, const String& generalDescription = String());

    P<CException> clone() const override;

protected:
    // The text, or the default when the text is empty.
    static String textOr(const String& text, const String& defaultText);
};

} // namespace lumo
