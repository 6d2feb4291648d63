#pragma once

#include "foundation/String.h"

#include <string_view>

namespace nebo::common {

// UTF-8 text as a plugin puts it into its medium's facts: cut to
// CMediumFacts::maxTextBytes without splitting a character, so that an odd
// file never makes the master refuse the facts. Text that is not UTF-8 is
// taken as Latin-1.
lumo::String cutFactText(std::string_view utf8);

} // namespace nebo::common
