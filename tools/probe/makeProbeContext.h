#pragma once

#include "host/plugin/INEBContext.h"
#include "tools/probe/CProbeOptions.h"

#include <string>

namespace nebo::probe {

// Throws CUsageError naming the plugins there are when `pluginName` (given
// with --plugin; empty for none) is not among them.
void requireKnownPlugin(const std::string& pluginName);
// A context whose log keeps entries up to "info", whose sources do not
// prefetch and resume as the options say, and whose slaves get the
// options' time limit; it names no plugin.
lumo::P<common::INEBContext> makeSlaveContext(const CProbeOptions& options);

// The slave context that names the plugins to load: the options' plugin alone, or when none is
// named every plugin in the plugin folders (see common::CPluginFolders).
// Throws lumo::CError when there is none.
lumo::P<common::INEBContext> makeProbeContext(const CProbeOptions& options);

} // namespace nebo::probe
