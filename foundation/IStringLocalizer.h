#pragma once

#include "foundation/String.h"

namespace lumo {

// Texts shown to users, looked up by key ("lumo.<Class>.<name>"). Every
// lookup names its built-in default, so a missing text is never an error.
// All operations are safe from any thread.
class IStringLocalizer : public virtual IBase {
public:
    virtual void clear() = 0;
    // The localizer asked for keys that this one has no text for; null for
    // none. Counted.
    virtual void setFallback(IStringLocalizer* fallback) = 0;
    // An empty text counts as no text.
    virtual void setText(const String& key, const String& text) = 0;
    // This localizer's text for the key, else the fallback's answer, else
    // the default text.
    virtual P<IString> localize(const String& key, const String& defaultText) = 0;
};

// The process-wide localizer; it starts empty.
P<IStringLocalizer> getStringLocalizer();

// The process-wide localizer's text for the key.
String localize(const String& key, const String& defaultText);

} // namespace lumo
