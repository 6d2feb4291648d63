#pragma once

#include "foundation/CURI.h"

#include <string>

namespace nebo::probe {

// The URI a command-line argument names: text that starts with a scheme
// ("file:", "http:") is taken as a URI, anything else as a local path,
// relative ones from the current folder. The path need not exist. Throws
// the URI's error for text that cannot be read as a URI.
lumo::P<lumo::CURI> toMediaURI(const std::string& argument);

} // namespace nebo::probe
