#pragma once

#include "tools/probe/CProbeOptions.h"

#include <string>
#include <vector>

namespace nebo::probe {

// One plugin as --list-plugins tells it; a plugin that could not be asked
// has its reason in `failure` and nothing else but its name.
struct SPluginListing {
    std::string name;
    // The library file that is loaded in the slaves.
    std::string library;
    // "pictures", "sound".
    std::vector<std::string> media;
    std::vector<std::string> extensions;
    std::string failure;
};

// The plugins the options name (the one of --plugin, else every plugin in
// the plugin folders), each asked in slaves unless the user's cache holds
// its answers. Throws lumo::CError when there is no plugin at all.
std::vector<SPluginListing> listPlugins(const CProbeOptions& options);

// As "Key: value" lines, a blank line between plugins; texts of a slave's
// choosing are escaped.
std::string formatPluginListText(const std::vector<SPluginListing>& plugins);
// As one line of JSON: {"plugins": [{"name", "library", "media",
// "extensions"} or {"name", "failure"}, ...]}, plain ASCII.
std::string formatPluginListJSON(const std::vector<SPluginListing>& plugins);

} // namespace nebo::probe
