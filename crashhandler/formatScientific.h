#pragma once

#include <cstddef>

namespace crashhandler {

// Room formatScientific needs, terminating zero included.
constexpr size_t scientificTextSize = 32;

// Writes `value` as printf's "%e" does in the default rounding mode (six
// digits after the point, correctly rounded, ties to even; "inf", "nan" and
// their negatives) and returns the length. Async-signal-safe: no heap, no
// locale, no stdio.
size_t formatScientific(double value, char (&text)[scientificTextSize]) noexcept;

} // namespace crashhandler
