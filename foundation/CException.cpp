#include "foundation/CException.h"

#include <string>

namespace lumo {

CException::CException(const String& description, const String& generalDescription)
    : m_generalDescription(generalDescription), m_description(description)
{
}

const char* CException::what() const noexcept
{
    thread_local std::string buffer;
    try {
        buffer = m_description.toCodePage();
    } catch (...) {
        // what() must not throw; a message that cannot be converted is better
        // reported as such than lost in a second exception.
        return "(error description not available)";
    }
    return buffer.c_str();
}

P<IString> CException::getGeneralDescription() const
{
    return m_generalDescription.get();
}

P<IString> CException::getDescription() const
{
    return m_description.get();
}

P<CException> CException::clone() const
{
    return make<CException>(*this);
}

void CException::setDescription(const String& description)
{
    m_description = description;
}

} // namespace lumo
