#include "host/CPluginHandler.h"

#include "foundation/CInvalidArgError.h"
#include "foundation/CStringFormat.h"
#include "foundation/castObject.h"
#include "foundation/equalsIgnoringASCIICase.h"
#include "host/common/CPluginModule.h"
#include "host/common/getErrorText.h"
#include "host/common/isUsablePluginName.h"
#include "host/master/CNEBPluginBoxed.h"
#include "host/master/CPluginModuleBoxed.h"
#include "host/master/CSlaveError.h"
#include "host/plugin/CPluginExtensions.h"
#include "media/CNEBError.h"
#include "platform/IPathes.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>

namespace nebo::common {

namespace {

// nebo_filters is not shipped: a library of that name in a plugin folder
// joins the built-in ones, and without it a master that names no plugin
// logs it as missing and goes on.
const char* const builtInPlugins[] = {"nebo_avlib", "nebo_filters", "nebo_sound"};

enum : int32_t { errorLevel = 0, infoLevel = 2, debugLevel = 3 };

lumo::String formatText(const lumo::String& pattern, std::initializer_list<lumo::String> arguments)
{
    lumo::P<lumo::CStringFormat> formatter = lumo::make<lumo::CStringFormat>(pattern);
    for (const lumo::String& argument : arguments)
        formatter->pushString(argument);
    return formatter->getResult();
}

// A slave's failure by its summary and where its whole text is, any other
// error by its first line.
lumo::String describeShortly(const lumo::CException& error)
{
    const auto* slaveError = dynamic_cast<const CSlaveError*>(&error);
    if (slaveError && !slaveError->getSummary().isEmpty()) {
        if (slaveError->getErrorFilePath().isEmpty())
            return slaveError->getSummary();
        return slaveError->getSummary() + lumo::String("\nThe whole report: ") + slaveError->getErrorFilePath();
    }
    const std::string text = getErrorText(error).toUTF8();
    return lumo::String::fromUTF8(text.substr(0, text.find('\n')));
}

// A plugin's texts may borrow static text of its library, which goes with
// the module: whatever outlives the module keeps a copy.
lumo::String ownCopy(const lumo::String& text) { return lumo::String::fromUTF8(text.toUTF8()); }

std::string nativePathOf(const lumo::IURI& uri) { return lumo::getPathes()->getNativePath(uri, false).toUTF8(); }

struct SFileFacts {
    uintmax_t size;
    // In the ticks of the file system's clock.
    int64_t modified;
};

std::optional<SFileFacts> factsOf(const std::string& path)
{
    std::error_code sizeError, timeError;
    const uintmax_t size = std::filesystem::file_size(path, sizeError);
    const std::filesystem::file_time_type modified = std::filesystem::last_write_time(path, timeError);
    if (sizeError || timeError)
        return std::nullopt;
    return SFileFacts{size, modified.time_since_epoch().count()};
}

INEBPlugin::SSourceParams makeParams(int32_t nValue1, int32_t nValue2, int32_t nValue3)
{
    INEBPlugin::SSourceParams params;
    params.nValue1 = nValue1;
    params.nValue2 = nValue2;
    params.nValue3 = nValue3;
    return params;
}

} // namespace

struct CPluginHandler::SRequest {
    const lumo::IURI& uri;
    int32_t nTypes;
    INEBPlugin::SSourceParams params;
    // The verb of the log text: "open" for sources, "create" for formats.
    const char* action;
    std::function<lumo::P<lumo::IBase>(INEBPlugin& module, const SRequest& request)> make;
    // Whether a made object is the answer; one that is not is dropped.
    std::function<bool(lumo::IBase& made)> accept;
    // Whether the plugins that do not list the extension may try when
    // none does. Only what is test-opened can show that it fits; a format
    // to write is chosen by its extension.
    bool bTestsEveryPlugin;
    // The URI's extension as the plugins list it; filled by the search.
    lumo::String extension = lumo::String();
    // Whether some plugin listed the extension; set by the search.
    bool bExtensionTaken = false;
    // The plugins that answered without listing it, each with the index of
    // its entry among the last failures; filled by the search.
    std::vector<std::pair<INEBPlugin*, size_t>> passedOver = {};
    // The remembered plugin, once it failed its first try, and why: the
    // search notes that reason again instead of trying it a second time,
    // so that a plugin whose slave hangs costs one time limit, not two.
    INEBPlugin* failedFirst = nullptr;
    lumo::String firstFailure = lumo::String();
};

CPluginHandler::CPluginHandler(const lumo::P<INEBContext>& context, bool bBoxed, lumo::P<CSlavePool> pool)
    : m_context(context), m_folders(CPluginFolders::ofThisProcess()), m_bBoxed(bBoxed), m_pool(std::move(pool))
{
    if (m_bBoxed && !m_context)
        throw lumo::CInvalidArgError(lumo::String("a boxed handler without a context"),
                                     lumo::String("CPluginHandler::CPluginHandler"));
    const int32_t count = m_context ? m_context->getPluginLibraryCount() : 0;
    for (int32_t index = 0; index < count; ++index)
        addPlugin(m_context->getPluginLibrary(index));
    if (count == 0)
        for (const char* name : builtInPlugins)
            addPlugin(lumo::String::fromLatin1(name));
}

CPluginHandler::~CPluginHandler()
{
    // The plugins were handed the context and may use it until they go.
    m_modules.clear();
}

void CPluginHandler::addPlugin(const lumo::String& name)
{
    const lumo::String path = lumo::String::fromUTF8(m_folders.findPlugin(name.toUTF8()));
    const lumo::P<lumo::CURI> uri = lumo::CURI::fromNativePath(path);
    try {
        m_modules.push_back(loadModule(name, *uri));
    } catch (const CNEBError& error) {
        log(errorLevel,
            formatText("Error while loading DLL: %s - %s", {error.getGeneralDescription(), error.getDescription()}));
        m_loadFailures.push_back({ownCopy(name), describeShortly(error)});
    }
}

lumo::P<INEBPlugin> CPluginHandler::loadModule(const lumo::String& libraryName, const lumo::IURI& uri)
{
    if (!m_bBoxed)
        return lumo::make<CPluginModule>(m_context, uri);
    // Even the name comes from a slave: loading the library here only to
    // ask it would map the plugin and all it links into the master, and a
    // plugin that crashes while loading would take the master down.
    const SLibraryFile library = identifyLibrary(uri);
    return lumo::make<CPluginModuleBoxed>(m_context, askSlaveForName(libraryName, uri, library), library, m_pool);
}

SLibraryFile CPluginHandler::identifyLibrary(const lumo::IURI& uri) const
{
    const std::string path = nativePathOf(uri);
    const std::optional<SFileFacts> library = factsOf(path);
    // A missing library fails as it would to load, without a slave started for nothing.
    if (!library)
        throw CNEBError(lumo::String("could not load plugin: ") + uri.getText());
    const lumo::P<lumo::CURI> slaveURI = m_context->getSlaveProgram();
    const std::string slave = slaveURI ? nativePathOf(*slaveURI) : m_folders.findSlaveProgram();
    const std::optional<SFileFacts> slaveFacts = factsOf(slave);
    const std::string slaveProgram =
        slaveFacts ? slave + " " + std::to_string(slaveFacts->size) + " " + std::to_string(slaveFacts->modified) : "";
    return {path, library->size, library->modified, slaveProgram};
}

lumo::String CPluginHandler::askSlaveForName(const lumo::String& libraryName, const lumo::IURI& uri,
                                             const SLibraryFile& library)
{
    return getPluginAnswerCache()->getPluginName(library, [this, &libraryName, &uri] {
        const lumo::String name = lumo::make<CNEBPluginBoxed>(m_context, libraryName)->getPluginName();
        if (!isUsablePluginName(name.toUTF8()))
            throw CNEBError(lumo::String("the slave gave no usable plugin name for: ") + uri.getText());
        return name;
    });
}

lumo::P<lumo::IMemoryBlock> CPluginHandler::grabPicture(const lumo::IURI& uri, double time, int32_t& nWidth,
                                                        int32_t& nHeight)
{
    nWidth = 0;
    nHeight = 0;
    const lumo::P<IVideoSource> source = tryCreateVideoSource(uri, false);
    if (!source)
        return nullptr;
    source->open();
    const double duration = source->getDuration();
    if (duration < time)
        time = duration - 1.0;
    if (time > 0)
        source->skipToTime(time);
    const lumo::P<INEBPicture> picture = source->getNextPicture();
    if (!picture)
        return nullptr;
    nWidth = picture->getWidth();
    nHeight = picture->getHeight();
    return picture->getRGBData(0, 0, source->getWidth(), source->getHeight());
}

lumo::P<ISource> CPluginHandler::tryCreateSource(const lumo::IURI& uri, int32_t nValue1, int32_t nValue2,
                                                 int32_t nValue3, bool bDontCloseAfterTesting)
{
    return lumo::castObject<ISource>(findSource(uri, pictureSourceType | soundSourceType,
                                                makeParams(nValue1, nValue2, nValue3), bDontCloseAfterTesting),
                                     false);
}

lumo::P<IVideoSource> CPluginHandler::tryCreateVideoSource(const lumo::IURI& uri, bool bDontCloseAfterTesting)
{
    return lumo::castObject<IVideoSource>(
        findSource(uri, pictureSourceType, makeParams(0, 0, 0), bDontCloseAfterTesting), false);
}

lumo::P<IAudioSource> CPluginHandler::tryCreateAudioSource(const lumo::IURI& uri, int32_t nValue1, int32_t nValue2,
                                                           int32_t nValue3, bool bDontCloseAfterTesting)
{
    return lumo::castObject<IAudioSource>(
        findSource(uri, soundSourceType, makeParams(nValue1, nValue2, nValue3), bDontCloseAfterTesting), false);
}

lumo::P<IFormat> CPluginHandler::tryCreateFormat(const lumo::IURI& uri, int32_t nValue1, int32_t nValue2,
                                                 int32_t nValue3, bool)
{
    return lumo::castObject<IFormat>(
        findFormat(uri, formatType | soundFormatType, makeParams(nValue1, nValue2, nValue3)), false);
}

lumo::P<IFormat> CPluginHandler::tryCreateVideoFormat(const lumo::IURI& uri, bool)
{
    return lumo::castObject<IFormat>(findFormat(uri, formatType, makeParams(0, 0, 0)), false);
}

lumo::P<IAudioFormat> CPluginHandler::tryCreateAudioFormat(const lumo::IURI& uri, int32_t nValue1, int32_t nValue2,
                                                           int32_t nValue3, bool)
{
    return lumo::castObject<IAudioFormat>(findFormat(uri, soundFormatType, makeParams(nValue1, nValue2, nValue3)),
                                          false);
}

lumo::P<lumo::IBase> CPluginHandler::findSource(const lumo::IURI& uri, int32_t nTypes,
                                                const INEBPlugin::SSourceParams& params, bool bDontCloseAfterTesting)
{
    SRequest request{uri,
                     nTypes,
                     params,
                     "open",
                     [](INEBPlugin& module, const SRequest& self) -> lumo::P<lumo::IBase> {
                         return module.tryCreateSource(self.uri, self.nTypes, true, &self.params);
                     },
                     [this, bDontCloseAfterTesting](lumo::IBase& made) {
                         return openAndTest(*lumo::castObject<ISource>(&made), bDontCloseAfterTesting);
                     },
                     true};
    return tryCreate(request);
}

lumo::P<lumo::IBase> CPluginHandler::findFormat(const lumo::IURI& uri, int32_t nTypes,
                                                const INEBPlugin::SSourceParams& params)
{
    SRequest request{uri,
                     nTypes,
                     params,
                     "create",
                     [](INEBPlugin& module, const SRequest& self) -> lumo::P<lumo::IBase> {
                         return module.tryCreateFormat(self.uri, self.nTypes, true, &self.params);
                     },
                     [](lumo::IBase&) { return true; },
                     false};
    return tryCreate(request);
}

lumo::P<lumo::IBase> CPluginHandler::tryCreate(SRequest& request)
{
    m_lastFailures.clear();
    request.extension = comparableExtension(request.uri);
    if (lumo::P<lumo::IBase> made = tryRemembered(request))
        return made;
    lumo::P<lumo::IBase> made = tryByExtension(request);
    if (!made && !request.bExtensionTaken && request.bTestsEveryPlugin)
        made = tryPassedOver(request);
    if (made)
        m_lastFailures.clear();
    return made;
}

lumo::String CPluginHandler::comparableExtension(const lumo::IURI& uri)
{
    lumo::String extension = uri.getExtension();
    if (!m_extensionSuffix.isEmpty() && extension->endsWith(m_extensionSuffix.get().get()))
        extension = extension.slice(0, extension.getLength() - m_extensionSuffix.getLength());
    if (!extension.isEmpty() && extension->getCharAt(0) == '.')
        extension = extension.slice(1);
    return extension;
}

lumo::P<lumo::IBase> CPluginHandler::tryRemembered(SRequest& request)
{
    if (!m_context)
        return nullptr;
    const lumo::String remembered = m_context->getPluginForURI(request.nTypes, request.uri);
    if (remembered.isEmpty())
        return nullptr;
    for (const lumo::P<INEBPlugin>& module : m_modules) {
        lumo::String name;
        try {
            name = module->getPluginName();
        } catch (const lumo::CException&) {
            // Its failure to answer is noted when the search reaches it.
        }
        if (name != remembered)
            continue;
        if (lumo::P<lumo::IBase> made = tryModule(*module, request, false))
            return made;
        // The ordinary search follows, and notes this failure in its place.
        request.failedFirst = module.get();
        request.firstFailure = m_lastFailures.back().reason;
        m_lastFailures.pop_back();
        return nullptr;
    }
    return nullptr;
}

lumo::P<lumo::IBase> CPluginHandler::tryByExtension(SRequest& request)
{
    for (const lumo::P<INEBPlugin>& module : m_modules)
        if (lumo::P<lumo::IBase> made = tryModule(*module, request, true))
            return made;
    return nullptr;
}

lumo::P<lumo::IBase> CPluginHandler::tryPassedOver(SRequest& request)
{
    // No plugin lists the extension: only the plugins' own tests can tell
    // which reads the medium.
    log(debugLevel, formatText("no plugin takes the extension \"%s\" of %s: each plugin tests it",
                               {request.extension, request.uri.getDisplayText()}));
    for (const auto& [module, failureIndex] : request.passedOver) {
        if (lumo::P<lumo::IBase> made = tryModule(*module, request, false))
            return made;
        // Why it could not open the medium replaces why it was passed over.
        m_lastFailures[failureIndex] = m_lastFailures.back();
        m_lastFailures.pop_back();
    }
    return nullptr;
}

lumo::P<lumo::IBase> CPluginHandler::tryModule(INEBPlugin& module, SRequest& request, bool bByExtension)
{
    lumo::String pluginName;
    try {
        pluginName = module.getPluginName();
        if (bByExtension) {
            if (!offersExtension(module, request)) {
                request.passedOver.emplace_back(&module, m_lastFailures.size());
                noteFailure(pluginName, formatText("does not take the extension \"%s\"", {request.extension}));
                return nullptr;
            }
            request.bExtensionTaken = true;
        }
        if (&module == request.failedFirst) {
            noteFailure(pluginName, request.firstFailure);
            return nullptr;
        }
        const lumo::P<lumo::IBase> made = request.make(module, request);
        if (!made) {
            noteFailure(pluginName, lumo::String("made nothing for it"));
            return nullptr;
        }
        const bool bAccepted = request.accept(*made);
        if (m_context)
            m_context->setPluginForURI(request.nTypes, request.uri, ownCopy(pluginName));
        if (!bAccepted)
            noteFailure(pluginName, lumo::String("could not open it"));
        return bAccepted ? made : nullptr;
    } catch (const lumo::CException& error) {
        logFailure(request, pluginName, formatText("%s - %s", {error.getGeneralDescription(), error.getDescription()}));
        noteFailure(pluginName, describeShortly(error));
    } catch (...) {
        logFailure(request, pluginName, "unknown exception");
        noteFailure(pluginName, lumo::String("unknown exception"));
    }
    return nullptr;
}

void CPluginHandler::noteFailure(const lumo::String& pluginName, const lumo::String& reason)
{
    m_lastFailures.push_back({ownCopy(pluginName), ownCopy(reason)});
}

bool CPluginHandler::offersExtension(INEBPlugin& module, const SRequest& request)
{
    const lumo::P<IPluginExtensions> extensions = module.getValidExtensions(request.nTypes);
    const int32_t count = extensions ? extensions->getExtensionCount() : 0;
    const std::u16string wanted = request.extension->toUTF16();
    // People write extensions in either case ("CAMERA.MP4").
    for (int32_t index = 0; index < count; ++index)
        if (lumo::equalsIgnoringASCIICase(extensions->getExtension(index), wanted))
            return true;
    return false;
}

bool CPluginHandler::openAndTest(ISource& source, bool bDontCloseAfterTesting)
{
    // Without the test-open nothing can tell whether a source works, so
    // none is handed out.
    if (!m_bTestOpen)
        return false;
    source.open();
    const bool bOpened = source.isOpened();
    if (bOpened && !bDontCloseAfterTesting)
        source.close();
    return bOpened;
}

void CPluginHandler::logFailure(const SRequest& request, const lumo::String& pluginName, const lumo::String& reason)
{
    const lumo::String text =
        formatText("tried to %s %s with plugin %s.\nOpening failed: %s",
                   {lumo::String::fromLatin1(request.action), request.uri.getText(), pluginName, reason});
    log(infoLevel, text);
}

void CPluginHandler::log(int32_t level, const lumo::String& text)
{
    if (!m_context)
        return;
    if (const lumo::P<ILogManager> logManager = m_context->getLogManager())
        logManager->logText(level, text);
}

lumo::P<IPluginExtensions> CPluginHandler::getValidExtensions(int32_t nTypes)
{
    const lumo::P<CPluginExtensions> all = lumo::make<CPluginExtensions>();
    for (const lumo::P<INEBPlugin>& module : m_modules) {
        const lumo::P<IPluginExtensions> extensions = module->getValidExtensions(nTypes);
        const int32_t count = extensions ? extensions->getExtensionCount() : 0;
        for (int32_t index = 0; index < count; ++index)
            all->addExtension(extensions->getExtension(index));
    }
    return all;
}

bool CPluginHandler::isBoxed() { return m_bBoxed; }

int32_t CPluginHandler::getPluginCount() { return static_cast<int32_t>(m_modules.size()); }

lumo::P<INEBPlugin> CPluginHandler::getPlugin(int32_t index)
{
    if (index < 0 || index >= getPluginCount())
        throw lumo::CInvalidArgError(lumo::String("index ") + lumo::String::fromInt(index),
                                     lumo::String("CPluginHandler::getPlugin"));
    return m_modules[static_cast<size_t>(index)];
}

void CPluginHandler::setTestOpen(bool bTestOpen) { m_bTestOpen = bTestOpen; }

bool CPluginHandler::getTestOpen() { return m_bTestOpen; }

void CPluginHandler::setExtensionSuffix(const lumo::String& suffix) { m_extensionSuffix = suffix; }

lumo::String CPluginHandler::getExtensionSuffix() { return m_extensionSuffix; }

} // namespace nebo::common
