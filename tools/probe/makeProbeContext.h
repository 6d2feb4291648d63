#pragma once

#include "host/INEBContext.h"
#include "tools/probe/CProbeOptions.h"

namespace nebo::probe {

// A context whose log keeps entries up to "info", whose sources do not
// prefetch, whose slaves get the options' time limit, and that names the
// plugins to load: the options' plugin alone, or when none is named every
// plugin beside the running program. Throws lumo::CError when there is no
// plugin beside it.
lumo::P<common::INEBContext> makeProbeContext(const CProbeOptions& options);

} // namespace nebo::probe
