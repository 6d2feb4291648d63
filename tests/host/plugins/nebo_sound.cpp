// Stands in for the built-in sound plugin. It shares "avi" with nebo_avlib and also lists the upper-case form.
#include "host/plugins/CTestPlugin.h"

NEBO_PLUGIN_EXPORT nebo::common::INEBPlugin* nebo_pluginCreate(nebo::common::INEBContext* context)
{
    return lumo::make<nebo::test::CTestPlugin>(context, lumo::String("sound"),
                                               std::vector<std::u16string>{u"wav", u"avi", u"AVI"})
        .detach();
}
