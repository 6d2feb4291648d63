#include "host/cutFactText.h"

#include "host/CMediumFacts.h"

namespace nebo::common {

lumo::String cutFactText(std::string_view utf8)
{
    if (utf8.size() > size_t{CMediumFacts::maxTextBytes}) {
        size_t end = CMediumFacts::maxTextBytes;
        // Continuation bytes (10xxxxxx) belong to the character before them.
        while (end > 0 && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80)
            --end;
        utf8 = utf8.substr(0, end);
    }
    return lumo::String::fromUTF8(utf8);
}

} // namespace nebo::common
