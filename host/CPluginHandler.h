#pragma once

#include "foundation/CObject.h"
#include "host/common/CPluginFolders.h"
#include "host/common/IPluginHandler.h"
#include "host/master/CPluginAnswerCache.h"
#include "host/master/CSlavePool.h"
#include "host/plugin/INEBContext.h"

#include <vector>

namespace nebo::common {

// The plugins of this process, loaded by name at construction, and the
// search for the one that opens a URI. The plugin that made an object is
// remembered in the context, per URI and media types, and asked first the
// next time; then the plugins that list the URI's extension (in any ASCII
// case) are tried in order. For a source, when none lists it, every plugin
// that listed its extensions tries, and its test-open decides.
//
// Sources and formats run code of the plugin libraries, which are unloaded
// with the handler: release every object it made before the handler.
// Failures to load or open are logged through the context and never stop
// the search. No locking: one thread uses a handler.
class CPluginHandler : public lumo::CObject, public virtual IPluginHandler {
public:
    // Loads the plugins the context names, else the built-in ones, from this
    // process's plugin folders. `context` may be null, unless boxed: then
    // nothing is logged or remembered. With `bBoxed`, no plugin library is
    // loaded here: a slave names each plugin, and each runs in slaves, taken
    // from `pool` (which holds neither handler nor context) when one is ready.
    // Throws what loading or naming a plugin throws except CNEBError (for a
    // boxed handler, the process layer's error when no slave can start);
    // CInvalidArgError for a boxed handler without a context.
    CPluginHandler(const lumo::P<INEBContext>& context, bool bBoxed, lumo::P<CSlavePool> pool = nullptr);
    ~CPluginHandler() override;

    lumo::P<lumo::IMemoryBlock> grabPicture(const lumo::IURI& uri, double time, int32_t& nWidth,
                                            int32_t& nHeight) override;
    lumo::P<ISource> tryCreateSource(const lumo::IURI& uri, int32_t nValue1, int32_t nValue2, int32_t nValue3,
                                     bool bDontCloseAfterTesting) override;
    lumo::P<IVideoSource> tryCreateVideoSource(const lumo::IURI& uri, bool bDontCloseAfterTesting) override;
    lumo::P<IAudioSource> tryCreateAudioSource(const lumo::IURI& uri, int32_t nValue1, int32_t nValue2, int32_t nValue3,
                                               bool bDontCloseAfterTesting) override;
    // A format counts as made when a plugin returns one: formats are not
    // test-opened, so `bDontCloseAfterTesting` does not apply to them.
    lumo::P<IFormat> tryCreateFormat(const lumo::IURI& uri, int32_t nValue1, int32_t nValue2, int32_t nValue3,
                                     bool bDontCloseAfterTesting) override;
    lumo::P<IFormat> tryCreateVideoFormat(const lumo::IURI& uri, bool bDontCloseAfterTesting) override;
    lumo::P<IAudioFormat> tryCreateAudioFormat(const lumo::IURI& uri, int32_t nValue1, int32_t nValue2, int32_t nValue3,
                                               bool bDontCloseAfterTesting) override;
    lumo::P<IPluginExtensions> getValidExtensions(int32_t nTypes) override;
    void addPlugin(const lumo::String& name) override;
    bool isBoxed() override;
    int32_t getPluginCount() override;
    // Throws CInvalidArgError for an index outside the list.
    lumo::P<INEBPlugin> getPlugin(int32_t index) override;
    void setTestOpen(bool bTestOpen) override;
    bool getTestOpen() override;
    void setExtensionSuffix(const lumo::String& suffix) override;
    lumo::String getExtensionSuffix() override;

    // Why a plugin was left out, or did not make what a search asked for.
    struct SFailure {
        lumo::String pluginName;
        // One line, or a few for a slave's crash; may hold bytes of the
        // slave's choosing.
        lumo::String reason;
    };
    // The plugins the last search went through without success, in module
    // order, each with its reason (when no plugin took the extension, as
    // every plugin was tried); empty after a success.
    const std::vector<SFailure>& getLastFailures() const { return m_lastFailures; }
    // The plugin libraries left out at construction or by addPlugin, by
    // their base names, each with its reason.
    const std::vector<SFailure>& getLoadFailures() const { return m_loadFailures; }

private:
    // One search: what is asked for, how a module makes it and when it counts.
    struct SRequest;

    lumo::P<INEBPlugin> loadModule(const lumo::String& libraryName, const lumo::IURI& uri);
    // The library and the slave program that would answer for it. Throws
    // CNEBError for a library that cannot be read.
    SLibraryFile identifyLibrary(const lumo::IURI& uri) const;
    // Through the process's CPluginAnswerCache, so that each library file
    // costs at most one slave.
    lumo::String askSlaveForName(const lumo::String& libraryName, const lumo::IURI& uri, const SLibraryFile& library);
    lumo::P<lumo::IBase> findSource(const lumo::IURI& uri, int32_t nTypes, const INEBPlugin::SSourceParams& params,
                                    bool bDontCloseAfterTesting);
    lumo::P<lumo::IBase> findFormat(const lumo::IURI& uri, int32_t nTypes, const INEBPlugin::SSourceParams& params);
    lumo::P<lumo::IBase> tryCreate(SRequest& request);
    // The plugin last used for the URI, once; a failure there is noted
    // when the ordinary search reaches that plugin.
    lumo::P<lumo::IBase> tryRemembered(SRequest& request);
    // The modules in order, those that list the extension, until one makes
    // what `request` asks for.
    lumo::P<lumo::IBase> tryByExtension(SRequest& request);
    // Then, when none lists it, the modules that answered without it.
    lumo::P<lumo::IBase> tryPassedOver(SRequest& request);
    // Notes exactly one failure when it makes nothing; with `bByExtension`
    // a module that does not list the extension is passed over.
    lumo::P<lumo::IBase> tryModule(INEBPlugin& module, SRequest& request, bool bByExtension);
    bool offersExtension(INEBPlugin& module, const SRequest& request);
    lumo::String comparableExtension(const lumo::IURI& uri);
    bool openAndTest(ISource& source, bool bDontCloseAfterTesting);
    void logFailure(const SRequest& request, const lumo::String& pluginName, const lumo::String& reason);
    void noteFailure(const lumo::String& pluginName, const lumo::String& reason);
    void log(int32_t level, const lumo::String& text);

    std::vector<lumo::P<INEBPlugin>> m_modules;
    lumo::P<INEBContext> m_context;
    const CPluginFolders m_folders;
    bool m_bBoxed;
    const lumo::P<CSlavePool> m_pool;
    bool m_bTestOpen = true;
    lumo::String m_extensionSuffix;
    std::vector<SFailure> m_lastFailures;
    std::vector<SFailure> m_loadFailures;
};

} // namespace nebo::common
