#include "platform/writeDebugText.h"

#include <cstdio>

namespace lumo {

void writeDebugText(std::string_view text)
{
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
}

} // namespace lumo
