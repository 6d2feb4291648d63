#pragma once

#include "foundation/IStringLocalizer.h"

namespace lumo {

// A text of the process-wide localizer for the length of a scope. An empty
// text counts as none, so leaving the scope removes it again.
class ScopedLocalizedText {
public:
    ScopedLocalizedText(const String& key, const String& text) : m_key(key)
    {
        getStringLocalizer()->setText(key, text);
    }
    ~ScopedLocalizedText() { getStringLocalizer()->setText(m_key, String()); }
    ScopedLocalizedText(const ScopedLocalizedText&) = delete;
    ScopedLocalizedText& operator=(const ScopedLocalizedText&) = delete;

private:
    String m_key;
};

} // namespace lumo
