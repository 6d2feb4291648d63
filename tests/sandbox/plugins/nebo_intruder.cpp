// The plugin that tries every act a confined slave must be refused.
#include "host/plugin/CPluginExtensions.h"
#include "host/plugin/INEBContext.h"
#include "host/plugin/INEBPlugin.h"
#include "host/plugin/pluginExport.h"
#include "sandbox/plugins/intruderActs.h"

#include <sstream>
#include <stdexcept>
#include <string>

namespace nebo::test {
namespace {

using lumo::make;
using lumo::P;

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

// Claims the extension "intrude" for pictures and sound. Asked for a source, it tries the acts its URI's query names
// ("acts=readSecret,fork") with the query's parameters, logs "intruder <act>: <outcome>" at level 0 for each, and makes
// no source, so that the master fails to open and takes the slave's log into its own. An allowed exec ends the slave.
class CIntruderPlugin : public lumo::CObject, public virtual common::INEBPlugin {
public:
    explicit CIntruderPlugin(common::INEBContext* context) : m_context(context) {}

    lumo::String getPluginName() override { return lumo::String("nebo_intruder"); }
    int32_t getValidTypes() override { return common::pictureSourceType | common::soundSourceType; }
    P<common::IPluginExtensions> getValidExtensions(int32_t nTypes) override
    {
        P<common::CPluginExtensions> extensions = make<common::CPluginExtensions>();
        if (nTypes & getValidTypes())
            extensions->addExtension(lumo::String("intrude"));
        return extensions;
    }
    P<common::ISource> tryCreateSource(const lumo::IURI& uri, int32_t, bool, const SSourceParams*) override
    {
        const IntruderParameters parameters = parametersOf(uri.getQuery().toUTF8());
        std::istringstream names(parameters.count("acts") ? parameters.at("acts") : std::string());
        for (std::string act; std::getline(names, act, ',');) {
            try {
                log("intruder " + act + ": " + runIntruderAct(act, parameters));
            } catch (const std::logic_error& error) {
                log("intruder " + act + ": unusable query, " + error.what());
            }
        }
        return nullptr;
    }
    P<common::IFormat> tryCreateFormat(const lumo::IURI&, int32_t, bool, const SSourceParams*) override
    {
        return nullptr;
    }

private:
    void log(const std::string& line)
    {
        const P<common::ILogManager> logManager = m_context ? m_context->getLogManager() : nullptr;
        if (logManager)
            logManager->logText(0, lumo::String::fromUTF8(line));
    }

    const P<common::INEBContext> m_context;
};

} // namespace
} // namespace nebo::test

NEBO_PLUGIN_EXPORT nebo::common::INEBPlugin* nebo_pluginCreate(nebo::common::INEBContext* context)
{
    return lumo::make<nebo::test::CIntruderPlugin>(context).detach();
}
