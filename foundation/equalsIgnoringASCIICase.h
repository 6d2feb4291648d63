#pragma once

#include <string_view>

namespace lumo {

// Whether `a` and `b` are the same text when the ASCII letters A-Z count as
// a-z. Nothing else folds, so that names such as file extensions compare
// alike in every locale and no other character ever meets an ASCII one.
bool equalsIgnoringASCIICase(std::string_view a, std::string_view b);
bool equalsIgnoringASCIICase(std::u16string_view a, std::u16string_view b);

} // namespace lumo
