#include "tools/probe/listPlugins.h"

#include "foundation/escapeControlCharacters.h"
#include "host/CPluginHandler.h"
#include "host/common/CPluginFolders.h"
#include "host/plugin/INEBContext.h"
#include "host/plugin/IPluginExtensions.h"
#include "tools/probe/makeProbeContext.h"

#include <nlohmann/json.hpp>

namespace nebo::probe {

namespace {

std::vector<std::string> mediaOf(int32_t types)
{
    std::vector<std::string> media;
    if (types & common::pictureSourceType)
        media.push_back("pictures");
    if (types & common::soundSourceType)
        media.push_back("sound");
    return media;
}

std::vector<std::string> extensionsOf(common::IPluginExtensions& extensions)
{
    std::vector<std::string> texts;
    for (int32_t i = 0; i < extensions.getExtensionCount(); ++i)
        texts.push_back(lumo::String::fromUTF16(extensions.getExtension(i)).toUTF8());
    return texts;
}

SPluginListing describePlugin(common::INEBPlugin& plugin, const common::CPluginFolders& folders)
{
    SPluginListing listing;
    listing.name = plugin.getPluginName().toUTF8();
    listing.library = folders.findPlugin(listing.name);
    try {
        const int32_t types = plugin.getValidTypes();
        listing.media = mediaOf(types);
        if (const lumo::P<common::IPluginExtensions> extensions = plugin.getValidExtensions(types))
            listing.extensions = extensionsOf(*extensions);
    } catch (const lumo::CException& error) {
        listing.failure = error.getDescription()->toUTF8();
    }
    return listing;
}

std::string joined(const std::vector<std::string>& items, const char* separator)
{
    std::string text;
    for (const std::string& item : items)
        text += (text.empty() ? "" : separator) + item;
    return text;
}

} // namespace

std::vector<SPluginListing> listPlugins(const CProbeOptions& options)
{
    const lumo::P<common::INEBContext> context = makeProbeContext(options);
    const lumo::P<common::CPluginHandler> handler = lumo::make<common::CPluginHandler>(context, true);
    const common::CPluginFolders folders = common::CPluginFolders::ofThisProcess();
    std::vector<SPluginListing> plugins;
    for (int32_t i = 0; i < handler->getPluginCount(); ++i)
        plugins.push_back(describePlugin(*handler->getPlugin(i), folders));
    for (const common::CPluginHandler::SFailure& failure : handler->getLoadFailures())
        plugins.push_back({failure.pluginName.toUTF8(), {}, {}, {}, failure.reason.toUTF8()});
    return plugins;
}

std::string formatPluginListText(const std::vector<SPluginListing>& plugins)
{
    std::string text;
    for (const SPluginListing& plugin : plugins) {
        text +=
            (text.empty() ? "" : "\n") + std::string("Plugin: ") + lumo::escapeControlCharacters(plugin.name) + "\n";
        if (!plugin.failure.empty()) {
            text += "Failed: " + lumo::escapeControlCharacters(plugin.failure, "  ") + "\n";
            continue;
        }
        text += "Library: " + lumo::escapeControlCharacters(plugin.library) + "\n";
        text += "Media: " + (plugin.media.empty() ? std::string("none") : joined(plugin.media, ", ")) + "\n";
        text += "Extensions: " +
                (plugin.extensions.empty() ? std::string("none")
                                           : lumo::escapeControlCharacters(joined(plugin.extensions, " "))) +
                "\n";
    }
    return text;
}

std::string formatPluginListJSON(const std::vector<SPluginListing>& plugins)
{
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const SPluginListing& plugin : plugins) {
        if (!plugin.failure.empty())
            list.push_back({{"name", plugin.name}, {"failure", plugin.failure}});
        else
            list.push_back({{"name", plugin.name},
                            {"library", plugin.library},
                            {"media", plugin.media},
                            {"extensions", plugin.extensions}});
    }
    const nlohmann::ordered_json document = {{"plugins", list}};
    return document.dump(-1, ' ', true, nlohmann::ordered_json::error_handler_t::replace);
}

} // namespace nebo::probe
