#include "foundation/CException.h"

#include <string>

namespace lumo {

namespace {

// An error may outlive the code that raised it (a plugin's library is
// unloaded while its error is still on the way up), so it never borrows.
String ownText(const String& text) { return text.get() ? String::fromUTF8(text.toUTF8()) : text; }

} // namespace

CException::CException(const String& description, const String& generalDescription)
    : m_generalDescription(ownText(generalDescription)), m_description(ownText(description))
{
}

const char* CException::what() const noexcept
{
    thread_local std::string buffer;
    try {
        buffer = m_description.toUTF8();
    } catch (...) {
        // what() must not throw; a message that cannot be converted is better
        // reported as such than lost in a second exception.
        return "(error description not available)";
    }
    return buffer.c_str();
}

P<IString> CException::getGeneralDescription() const { return m_generalDescription.get(); }

P<IString> CException::getDescription() const { return m_description.get(); }

P<CException> CException::clone() const { return make<CException>(*this); }

void CException::setDescription(const String& description) { m_description = description; }

} // namespace lumo
