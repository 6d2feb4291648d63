#pragma once

#include <cstdint>

namespace lumo {

// Locale-independent simple (one to one) case mappings. They cover Basic
// Latin, Latin-1 Supplement, Latin Extended-A, Greek, Cyrillic with its
// Supplement, and Armenian (U+0000-U+058F); every other code point is its
// own upper and lower case.
uint32_t lowerCaseOf(uint32_t codePoint);
uint32_t upperCaseOf(uint32_t codePoint);
// The form under which case-insensitive texts compare: the lower case of the
// upper case, so that variants such as final sigma and long s meet too.
uint32_t foldedCaseOf(uint32_t codePoint);

// Unicode white space (the White_Space property).
bool isWhiteSpace(uint32_t codePoint);

} // namespace lumo
