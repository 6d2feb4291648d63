#include "tools/probe/makeProbeContext.h"

#include "foundation/CError.h"
#include "host/common/CLogManager.h"
#include "host/common/CPluginFolders.h"
#include "host/common/CSimpleNEBContext.h"
#include "host/master/CSlavePool.h"
#include "tools/probe/CUsageError.h"
#include "tools/probe/listPluginNames.h"

#include <algorithm>

namespace nebo::probe {

namespace {

std::vector<std::string> getPluginNames(const std::string& pluginName)
{
    if (!pluginName.empty())
        return {pluginName};
    const std::vector<std::string> folders = common::CPluginFolders::ofThisProcess().getFolders();
    std::vector<std::string> names = listPluginNames(folders);
    if (names.empty()) {
        std::string list;
        for (const std::string& folder : folders)
            list += (list.empty() ? "" : ", ") + folder;
        throw lumo::CError(lumo::String::fromUTF8("there are no plugins in " + list));
    }
    return names;
}

} // namespace

void requireKnownPlugin(const std::string& pluginName)
{
    const std::vector<std::string> folders = common::CPluginFolders::ofThisProcess().getFolders();
    const std::vector<std::string> names = listPluginNames(folders);
    if (pluginName.empty() || std::find(names.begin(), names.end(), pluginName) != names.end())
        return;
    std::string known;
    for (const std::string& name : names)
        known += (known.empty() ? "" : ", ") + name;
    std::string searched;
    for (const std::string& folder : folders)
        searched += (searched.empty() ? "" : ", ") + folder;
    throw CUsageError(lumo::String::fromUTF8(
        "there is no plugin \"" + pluginName + "\" in " + searched + ": " +
        (known.empty() ? std::string("there are no plugins there") : "the plugins there are " + known)));
}

lumo::P<common::INEBContext> makeSlaveContext(const CProbeOptions& options)
{
    const lumo::P<common::CSimpleNEBContext> context = lumo::make<common::CSimpleNEBContext>();
    context->setLogManager(lumo::make<common::CLogManager>(lumo::String("nebo_probe")));
    // Without prefetching a slave decodes only what the probe asks for, so
    // a slave that fails on a picture fails on the probe's own request and
    // its report reaches the user. A prefetch could fail already while the
    // handler test-opens the source, and the handler only logs that.
    context->setPrefetch(false);
    context->setResumeAfterSlaveFailure(options.bResume);
    if (options.timeoutMs) {
        common::SSlaveLimits limits = context->getSlaveLimits();
        limits.timeoutMs = *options.timeoutMs;
        context->setSlaveLimits(limits);
    }
    return context;
}

lumo::P<common::INEBContext> makeProbeContext(const CProbeOptions& options)
{
    const lumo::P<common::INEBContext> context = makeSlaveContext(options);
    for (const std::string& name : getPluginNames(options.pluginName))
        context->addPluginLibrary(lumo::String::fromUTF8(name));
    return context;
}

} // namespace nebo::probe
