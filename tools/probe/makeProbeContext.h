#pragma once

#include "host/INEBContext.h"
#include "tools/probe/CProbeOptions.h"

namespace nebo::probe {

// A context whose log keeps entries up to "info", whose sources do not
// prefetch, whose slaves get the options' time limit, and that names the
// plugins to load: the options' plugin alone, or when none is named every
// plugin in the plugin folders (see common::CPluginFolders). Throws
// lumo::CError when there is none.
lumo::P<common::INEBContext> makeProbeContext(const CProbeOptions& options);

} // namespace nebo::probe
