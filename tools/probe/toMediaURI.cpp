#include "tools/probe/toMediaURI.h"

#include <cctype>

namespace nebo::probe {

namespace {

// A letter followed by letters, digits, "+", "-" or ".", then ":".
bool startsWithScheme(const std::string& text)
{
    const size_t colon = text.find(':');
    if (colon == std::string::npos || colon == 0 || !std::isalpha(static_cast<unsigned char>(text[0])))
        return false;
    for (size_t i = 1; i < colon; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (!std::isalnum(c) && c != '+' && c != '-' && c != '.')
            return false;
    }
    return true;
}

} // namespace

lumo::P<lumo::CURI> toMediaURI(const std::string& argument)
{
    const lumo::String text = lumo::String::fromUTF8(argument);
    if (startsWithScheme(argument))
        return lumo::make<lumo::CURI>(text);
    return lumo::CURI::fromNativePath(text);
}

} // namespace nebo::probe
