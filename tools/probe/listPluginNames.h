#pragma once

#include <string>
#include <vector>

namespace nebo::probe {

// The base names of the plugin modules in `folder` (a native path), in
// name order: every plugin file there (CPluginFolders::pluginFileName, such
// as "NAME.so") except the shared libraries "libNAME.so" that programs link
// to. An unreadable or missing folder has none.
std::vector<std::string> listPluginNames(const std::string& folder);
// The names in any of `folders`, each once, in name order.
std::vector<std::string> listPluginNames(const std::vector<std::string>& folders);

} // namespace nebo::probe
