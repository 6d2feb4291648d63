#include "sandbox/plugins/CIntruderPlugin.h"

#include "host/CPluginExtensions.h"
#include "sandbox/plugins/intruderActs.h"

#include <sstream>
#include <stdexcept>

namespace nebo::test {

using lumo::make;
using lumo::P;

namespace {

constexpr const char* intruderExtension = "intrude";
constexpr const char* intruderName = "nebo_intruder";

// "a=1&b=2" as {a: 1, b: 2}; a pair without "=" has an empty value.
IntruderParameters parametersOf(const std::string& query)
{
    IntruderParameters parameters;
    std::istringstream pairs(query);
    for (std::string pair; std::getline(pairs, pair, '&');) {
        const size_t equals = pair.find('=');
        parameters[pair.substr(0, equals)] = equals == std::string::npos ? std::string() : pair.substr(equals + 1);
    }
    return parameters;
}

} // namespace

CIntruderPlugin::CIntruderPlugin(common::INEBContext* context) : m_context(context) {}

lumo::String CIntruderPlugin::getPluginName() { return lumo::String::fromUTF8(intruderName); }

int32_t CIntruderPlugin::getValidTypes() { return common::pictureSourceType | common::soundSourceType; }

P<common::IPluginExtensions> CIntruderPlugin::getValidExtensions(int32_t nTypes)
{
    P<common::CPluginExtensions> extensions = make<common::CPluginExtensions>();
    if (nTypes & getValidTypes())
        extensions->addExtension(lumo::String::fromUTF8(intruderExtension));
    return extensions;
}

P<common::ISource> CIntruderPlugin::tryCreateSource(const lumo::IURI& uri, int32_t, bool, const SSourceParams*)
{
    const IntruderParameters parameters = parametersOf(uri.getQuery().toUTF8());
    const auto acts = parameters.find("acts");
    std::istringstream names(acts == parameters.end() ? std::string() : acts->second);
    for (std::string act; std::getline(names, act, ',');) {
        try {
            log("intruder " + act + ": " + runIntruderAct(act, parameters));
        } catch (const std::invalid_argument& error) {
            log("intruder " + act + ": unusable query, " + error.what());
        }
    }
    return nullptr;
}

P<common::IFormat> CIntruderPlugin::tryCreateFormat(const lumo::IURI&, int32_t, bool, const SSourceParams*)
{
    return nullptr;
}

void CIntruderPlugin::log(const std::string& line)
{
    const P<common::ILogManager> logManager = m_context ? m_context->getLogManager() : nullptr;
    if (logManager)
        logManager->logText(0, lumo::String::fromUTF8(line));
}

} // namespace nebo::test
