#include "foundation/equalsIgnoringASCIICase.h"

#include <algorithm>

namespace lumo {

namespace {

template <class Char> Char foldASCII(Char c)
{
    return c >= Char('A') && c <= Char('Z') ? Char(c - Char('A') + Char('a')) : c;
}

template <class Char> bool equalsFolded(std::basic_string_view<Char> a, std::basic_string_view<Char> b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](Char x, Char y) { return foldASCII(x) == foldASCII(y); });
}

} // namespace

bool equalsIgnoringASCIICase(std::string_view a, std::string_view b) { return equalsFolded(a, b); }

bool equalsIgnoringASCIICase(std::u16string_view a, std::u16string_view b) { return equalsFolded(a, b); }

} // namespace lumo
