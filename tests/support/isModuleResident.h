#pragma once

#include <string>

namespace lumo {

// Whether the library file at `path` is loaded in this process now, asked of its loader without loading it.
bool isModuleResident(const std::string& path);

} // namespace lumo
