// A library that exports something, but not the plugin factory.
#include "host/plugin/pluginExport.h"

NEBO_PLUGIN_EXPORT int nebo_notAFactory() { return 0; }
