// The plugin that tries every act a confined slave must be refused.
#include "host/pluginExport.h"
#include "sandbox/plugins/CIntruderPlugin.h"

NEBO_PLUGIN_EXPORT nebo::common::INEBPlugin* nebo_pluginCreate(nebo::common::INEBContext* context)
{
    return lumo::make<nebo::test::CIntruderPlugin>(context).detach();
}
