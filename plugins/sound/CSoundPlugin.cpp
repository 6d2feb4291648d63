#include "plugins/sound/CSoundPlugin.h"

#include "host/plugin/CPluginExtensions.h"
#include "host/plugin/getPluginMemoryManager.h"
#include "plugins/sound/CSoundSource.h"

#include <sndfile.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

namespace nebo::sound {

using lumo::make;
using lumo::P;

namespace {

std::string toLower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

int formatCount(int command)
{
    int count = 0;
    sf_command(nullptr, command, &count, sizeof count);
    return count;
}

// The extensions of the library's major formats, then of its simple ones,
// which name a few kinds the major ones do not (ogg beside oga, say).
std::vector<std::string> readableExtensions()
{
    std::vector<std::string> extensions;
    auto collect = [&](int countCommand, int formatCommand) {
        for (int i = 0; i < formatCount(countCommand); ++i) {
            SF_FORMAT_INFO info{};
            info.format = i;
            sf_command(nullptr, formatCommand, &info, sizeof info);
            // Header-less files cannot be read without being told their layout.
            if ((info.format & SF_FORMAT_TYPEMASK) == SF_FORMAT_RAW || !info.extension)
                continue;
            const std::string extension = toLower(info.extension);
            if (std::find(extensions.begin(), extensions.end(), extension) == extensions.end())
                extensions.push_back(extension);
        }
    };
    collect(SFC_GET_FORMAT_MAJOR_COUNT, SFC_GET_FORMAT_MAJOR);
    collect(SFC_GET_SIMPLE_FORMAT_COUNT, SFC_GET_SIMPLE_FORMAT);
    return extensions;
}

} // namespace

CSoundPlugin::CSoundPlugin(common::INEBContext* context) : m_memory(common::getPluginMemoryManager(context)) {}

lumo::String CSoundPlugin::getPluginName() { return lumo::String::fromUTF8("nebo_sound"); }

int32_t CSoundPlugin::getValidTypes() { return common::soundSourceType; }

P<common::IPluginExtensions> CSoundPlugin::getValidExtensions(int32_t nTypes)
{
    P<common::CPluginExtensions> extensions = make<common::CPluginExtensions>();
    if (nTypes & getValidTypes())
        for (const std::string& extension : readableExtensions())
            extensions->addExtension(lumo::String::fromUTF8(extension));
    return extensions;
}

P<common::ISource> CSoundPlugin::tryCreateSource(const lumo::IURI& uri, int32_t nTypes, bool, const SSourceParams*)
{
    if (!(nTypes & getValidTypes()) || toLower(uri.getScheme().toUTF8()) != "file")
        return nullptr;
    return make<CSoundSource>(uri, m_memory);
}

P<common::IFormat> CSoundPlugin::tryCreateFormat(const lumo::IURI&, int32_t, bool, const SSourceParams*)
{
    return nullptr;
}

} // namespace nebo::sound
