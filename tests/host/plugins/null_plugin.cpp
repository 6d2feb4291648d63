// A plugin whose factory declines to make a plugin.
#include "host/plugin/pluginExport.h"

NEBO_PLUGIN_EXPORT nebo::common::INEBPlugin* nebo_pluginCreate(nebo::common::INEBContext*) { return nullptr; }
