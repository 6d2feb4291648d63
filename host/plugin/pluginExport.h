#pragma once

// What a plugin library exports. A plugin is a loadable module `<name>` with
// the platform's module suffix (`<name>.so` on POSIX) that links to lumo and
// nebo, implements INEBPlugin and the source interfaces it offers (ISource,
// IVideoSource, IAudioSource), and exports one function with C linkage:
//
//     NEBO_PLUGIN_EXPORT nebo::common::INEBPlugin* nebo_pluginCreate(nebo::common::INEBContext* context);
//
// It returns a new plugin carrying one reference, which the caller takes
// over (`return lumo::make<CMyPlugin>(context).detach();`), or null when the
// plugin cannot work. The context outlives the plugin. The host finds the
// module in its plugin folders (see CPluginFolders); getPluginName() must
// answer `<name>`.
//
// Everything a plugin hands out may outlive its library, which the host
// unloads once it released the plugin: strings must own their text
// (`lumo::String::fromUTF8`), never borrow a literal of the library.

#include "host/plugin/INEBContext.h"
#include "host/plugin/INEBPlugin.h"

// Exported also where symbols are hidden by default (MSVC) or by choice.
#if defined(_MSC_VER)
#define NEBO_PLUGIN_EXPORT extern "C" __declspec(dllexport)
#else
#define NEBO_PLUGIN_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace nebo::common {

using PluginCreateFunction = INEBPlugin* (*)(INEBContext* context);

constexpr const char* pluginCreateSymbol = "nebo_pluginCreate";

} // namespace nebo::common
