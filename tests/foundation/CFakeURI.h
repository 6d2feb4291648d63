#pragma once

#include "foundation/CObject.h"
#include "foundation/IURI.h"

#include <string>

namespace lumo {

// A URI with a text and a display text of the test's choosing, so that tests
// can tell which of the two a message shows.
class CFakeURI : public CObject, public virtual IURI {
public:
    CFakeURI(std::string text, std::string displayText)
        : m_text(std::move(text)), m_displayText(std::move(displayText))
    {
    }

    String getDisplayText() const override { return String::fromUTF8(m_displayText); }
    P<IString> toString() const override { return String::fromUTF8(m_text).get(); }

private:
    std::string m_text;
    std::string m_displayText;
};

inline std::string utf8(const P<IString>& text)
{
    return text->toUTF8();
}

} // namespace lumo
