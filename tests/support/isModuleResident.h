#pragma once

#include <string>

namespace lumo {

// Whether the library file at `path` is loaded in this process now, asked
// without loading it. Each backend answers from its own loader.
bool isModuleResident(const std::string& path);

} // namespace lumo
