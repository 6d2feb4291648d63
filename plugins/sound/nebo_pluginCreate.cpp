#include "host/plugin/pluginExport.h"
#include "plugins/sound/CSoundPlugin.h"

// The plugin library's one export, kept apart from the plugin's core
// (nebo_sound_core), which the plugin's tests link as well.
NEBO_PLUGIN_EXPORT nebo::common::INEBPlugin* nebo_pluginCreate(nebo::common::INEBContext* context)
{
    return lumo::make<nebo::sound::CSoundPlugin>(context).detach();
}
