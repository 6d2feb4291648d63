// Stands in for the built-in picture plugin.
#include "host/plugins/CTestPlugin.h"

NEBO_PLUGIN_EXPORT nebo::common::INEBPlugin* nebo_pluginCreate(nebo::common::INEBContext* context)
{
    return lumo::make<nebo::test::CTestPlugin>(context, lumo::String("avlib"),
                                               std::vector<std::u16string>{u"avi", u"mpg"})
        .detach();
}
