#pragma once

#include "foundation/CURI.h"

#include <string>

namespace lumo {

// A URI whose text and display text the test chooses, to tell which of the two a message shows.
class CFakeURI : public CURI {
public:
    CFakeURI(std::string text, std::string displayText)
        : CURI(String("fake:uri")), m_text(std::move(text)), m_displayText(std::move(displayText))
    {
    }

    String getText() const override { return String::fromUTF8(m_text); }
    String getDisplayText() const override { return String::fromUTF8(m_displayText); }
    P<IString> toString() const override { return getText(); }

private:
    std::string m_text, m_displayText;
};

inline std::string utf8(const P<IString>& text) { return text->toUTF8(); }

} // namespace lumo
