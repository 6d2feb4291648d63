#pragma once

#include "host/INEBContext.h"

#include <string>

namespace nebo::probe {

// A context whose log keeps entries up to "info", whose sources do not
// prefetch, and that names the plugins to load: `pluginName` alone, or when it is empty every plugin beside the
// running program. Throws lumo::CError when there is no plugin beside it.
lumo::P<common::INEBContext> makeProbeContext(const std::string& pluginName);

} // namespace nebo::probe
