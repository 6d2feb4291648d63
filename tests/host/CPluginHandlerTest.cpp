#include "host/CPluginHandler.h"

#include "boxed/CBoxedFixture.h"
#include "expectError.h"
#include "foundation/CInvalidArgError.h"
#include "foundation/CURI.h"
#include "host/common/CLogManager.h"
#include "host/common/CSimpleNEBContext.h"
#include "media/CNEBError.h"
#include "platform/ISystem.h"
#include "platform/fileNameSuffixes.h"
#include "withoutSlave.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// The test plugins here: nebo_avlib ("avlib": avi, mpg) and nebo_sound ("sound": wav, avi, AVI) make sources and
// formats that do as the URI's query says (plugins/CTestPlugin.h); no_factory and null_plugin fail to load.

using namespace nebo::common;
using lumo::make;
using lumo::P;
using lumo::String;
using nebo::test::countOf;

class CPluginHandlerTest : public testing::Test {
protected:
    CPluginHandlerTest()
    {
        m_log->setLogLevel(3);
        m_context->setLogManager(m_log);
    }

    // The handler over the two plugins that both open ".avi".
    P<CPluginHandler> loadBoth()
    {
        for (const char* name : {"nebo_avlib", "nebo_sound"})
            m_context->addPluginLibrary(String::fromLatin1(name));
        return make<CPluginHandler>(m_context, false);
    }

    std::string logText() { return m_log->getLogText().toUTF8(); }

    static std::string entry(const char* level, const std::string& text)
    {
        return "<logentry level=\"" + std::string(level) + "\" time=\"T\">\n\t\t<textlog>" + text + "</textlog>";
    }

    // Errors name a library by its URI's whole text.
    static std::string pluginURI(const char* name)
    {
        const String path = lumo::getSystem()->getExecutableDirectory()->getNativePath() + String::fromUTF8(name) +
                            String::fromUTF8(lumo::getModuleSuffix());
        return lumo::CURI::fromNativePath(path)->getText().toUTF8();
    }

    static P<lumo::CURI> uri(const char* text) { return make<lumo::CURI>(String::fromLatin1(text)); }

    // The plugin that made the source, "" for none.
    static std::string nameOf(const P<ISource>& source)
    {
        return source ? source->getPluginName().toUTF8() : std::string();
    }

    const P<CLogManager> m_log = make<CLogManager>(String("testlog"), [] { return std::string("T"); });
    const P<CSimpleNEBContext> m_context = make<CSimpleNEBContext>();
};

TEST_F(CPluginHandlerTest, LeavesOutEachLibraryThatFailsToLoadAndLogsItOnce)
{
    for (const char* name : {"no_factory", "nebo_sound", "null_plugin", "missing"})
        m_context->addPluginLibrary(String::fromLatin1(name));
    const P<CPluginHandler> handler = make<CPluginHandler>(m_context, false);
    EXPECT_EQ(nebo::test::pluginNamesOf(*handler), std::vector<std::string>{"sound"});
    EXPECT_THROW(handler->getPlugin(handler->getPluginCount()), lumo::CInvalidArgError);
    const std::string log = logText();
    const std::string errors[] = {"could not load link create function for: " + pluginURI("no_factory"),
                                  "could not load link create plugin object for: " + pluginURI("null_plugin"),
                                  "could not load plugin: " + pluginURI("missing")};
    EXPECT_EQ(countOf(log, "Error while loading DLL: "), 3u) << log;
    for (const std::string& error : errors)
        EXPECT_NE(log.find(entry("error", "Error while loading DLL: CNEBError - " + error)), std::string::npos) << log;
}

TEST_F(CPluginHandlerTest, BoxedHandlerAsksASlaveForEachNameButNoneForAMissingLibrary)
{
    const SWithoutSlave withoutSlave;
    m_context->addPluginLibrary(String("missing"));
    const P<CPluginHandler> handler = make<CPluginHandler>(m_context, true);
    EXPECT_EQ(handler->getPluginCount(), 0);
    EXPECT_EQ(countOf(logText(), "Error while loading DLL: CNEBError - could not load plugin: " + pluginURI("missing")),
              1u);

    // Only a slave could name an existing one.
    m_context->addPluginLibrary(String("nebo_sound"));
    lumo::expectThrow<lumo::CError>(
        [&] { make<CPluginHandler>(m_context, true); },
        [](const lumo::CError& error) {
            EXPECT_EQ(error.getDescription()->toUTF8().rfind("Error executing file '", 0), 0u)
                << error.getDescription()->toUTF8();
        });
}

// Each plugin with its reason, as "name: reason" lines.
std::string failuresOf(const CPluginHandler& handler)
{
    std::string text;
    for (const CPluginHandler::SFailure& failure : handler.getLastFailures())
        text += failure.pluginName.toUTF8() + ": " + failure.reason.toUTF8() + "\n";
    return text;
}

TEST_F(CPluginHandlerTest, ChoosesByTheExtensionWithoutSuffixElseTriesEveryPlugin)
{
    // plugin: "" for none
    const struct {
        const char *uri, *suffix, *plugin, *failures;
    } cases[] = {
        {"file:///media/clip.AVI", "", "avlib", ""},
        {"file:///media/clip.Wav", "", "sound", ""},
        {"file:///media/clip.mpg_part", "_part", "avlib", ""},
        {"file:///media/other.mpg", "_part", "avlib", ""},
        // A plugin that takes the extension keeps the others out, whatever the case, even when it refuses.
        {"file:///media/clip.MPG?refuse=avlib", "", "",
         "avlib: made nothing for it\nsound: does not take the extension \"MPG\"\n"},
        {"file:///media/clip.WAV?fail=sound", "", "",
         "avlib: does not take the extension \"WAV\"\nsound: could not open it\n"},
        // Only the whole extension counts, so these are none of avlib's: every plugin tries.
        {"file:///media/clip.av?refuse=avlib", "", "sound", ""},
        {"file:///media/clip.avix?fail=avlib", "", "sound", ""},
        {"file:///media/clip.mpg_part?refuse=avlib", "part", "sound", ""},
        {"file:///media/clip.xyz", "", "avlib", ""},
        {"file:///media/clip.xyz?refuse=avlib&fail=sound", "", "",
         "avlib: made nothing for it\nsound: could not open it\n"},
        {"file:///media/clip?throw=avlib&throw=sound", "", "", "avlib: cannot read this\nsound: cannot read this\n"},
    };
    const P<CPluginHandler> handler = loadBoth();
    for (const auto& test : cases) {
        SCOPED_TRACE(std::string(test.uri) + " with suffix " + test.suffix);
        m_log->clearLog();
        handler->setExtensionSuffix(String::fromLatin1(test.suffix));
        EXPECT_EQ(nameOf(handler->tryCreateVideoSource(*uri(test.uri), true)), test.plugin);
        EXPECT_EQ(failuresOf(*handler), test.failures);
        // Only a plugin that throws is logged as failing to open.
        EXPECT_EQ(countOf(logText(), "Opening failed"), countOf(test.failures, "cannot read this")) << logText();
    }
}

TEST_F(CPluginHandlerTest, PassesTheTypesAndSourceParametersAndKeepsTheSourceOpenOnlyWhenAskedTo)
{
    const P<CPluginHandler> handler = loadBoth();
    const P<lumo::CURI> media = uri("file:///media/clip.wav");

    const P<ISource> closed = handler->tryCreateSource(*media, 4, 5, 6, false);
    ASSERT_TRUE(closed);
    EXPECT_FALSE(closed->isOpened());
    const P<IVideoSource> opened = handler->tryCreateVideoSource(*media, true);
    ASSERT_TRUE(opened);
    EXPECT_TRUE(opened->isOpened());
    ASSERT_TRUE(handler->tryCreateAudioSource(*media, 1, 2, 3, true));
    for (const char* asked : {"sound asked for 3 16 4 5 6", "sound asked for 1 16 0 0 0", "sound asked for 2 16 1 2 3"})
        EXPECT_NE(logText().find(asked), std::string::npos) << asked;
}

TEST_F(CPluginHandlerTest, TriesTheRememberedPluginFirstForTheSameTypes)
{
    const P<CPluginHandler> handler = loadBoth();
    const P<lumo::CURI> media = uri("file:///media/clip.avi");
    m_context->setPluginForURI(pictureSourceType, *media, String("sound"));

    EXPECT_EQ(nameOf(handler->tryCreateVideoSource(*media, true)), "sound");
    EXPECT_EQ(logText().find("avlib asked"), std::string::npos);
    EXPECT_EQ(nameOf(handler->tryCreateAudioSource(*media, 0, 0, 0, true)), "avlib");

    // A remembered plugin that fails is asked once, not again in the search: a hanging slave costs one time limit.
    const struct {
        const char *uri, *plugin, *failures;
    } cases[] = {
        {"file:///media/clip.avi?fail=sound", "avlib", ""},
        {"file:///media/clip.avi?throwmake=sound", "avlib", ""},
        // Only the remembered plugin takes the extension: its reason is noted once, where the search reaches it.
        {"file:///media/clip.wav?fail=sound", "",
         "avlib: does not take the extension \"wav\"\nsound: could not open it\n"},
    };
    for (const auto& c : cases) {
        const size_t asked = countOf(logText(), "sound asked for");
        m_context->setPluginForURI(pictureSourceType, *uri(c.uri), String("sound"));
        EXPECT_EQ(nameOf(handler->tryCreateVideoSource(*uri(c.uri), true)), c.plugin) << c.uri;
        EXPECT_EQ(countOf(logText(), "sound asked for"), asked + 1) << c.uri;
        EXPECT_EQ(failuresOf(*handler), c.failures) << c.uri;
    }
}

TEST_F(CPluginHandlerTest, RemembersThePluginThatWasTriedLastEvenWithoutTestOpen)
{
    const P<CPluginHandler> handler = loadBoth();
    const P<lumo::CURI> avlibFails = uri("file:///media/clip.avi?fail=avlib");
    const P<lumo::CURI> bothFail = uri("file:///media/clip.avi?fail=avlib&fail=sound");
    const P<lumo::CURI> noneMakes = uri("file:///media/clip.avi?refuse=avlib&refuse=sound");

    EXPECT_EQ(nameOf(handler->tryCreateVideoSource(*avlibFails, true)), "sound");
    EXPECT_FALSE(handler->tryCreateVideoSource(*bothFail, true));
    EXPECT_FALSE(handler->tryCreateVideoSource(*noneMakes, true));

    EXPECT_EQ(m_context->getPluginForURI(pictureSourceType, *avlibFails), String("sound"));
    EXPECT_EQ(m_context->getPluginForURI(pictureSourceType, *bothFail), String("sound"));
    EXPECT_EQ(m_context->getPluginForURI(pictureSourceType, *noneMakes), String());
    EXPECT_EQ(m_context->getPluginForURI(soundSourceType, *avlibFails), String());

    // Untested, no source is handed out, but its plugin is remembered.
    handler->setTestOpen(false);
    const P<lumo::CURI> untested = uri("file:///media/clip.mpg");
    EXPECT_FALSE(handler->tryCreateVideoSource(*untested, true));
    EXPECT_EQ(m_context->getPluginForURI(pictureSourceType, *untested), String("avlib"));
}

TEST_F(CPluginHandlerTest, LogsAPluginThatThrowsAndTriesTheNext)
{
    const struct {
        const char *uri, *failure;
    } cases[] = {
        {"file:///media/clip.avi?throw=avlib", "CTestError - cannot read this"},
        {"file:///media/clip.avi?throwother=avlib", "unknown exception"},
    };
    const P<CPluginHandler> handler = loadBoth();
    for (const auto& test : cases) {
        m_log->clearLog();
        EXPECT_EQ(nameOf(handler->tryCreateVideoSource(*uri(test.uri), true)), "sound") << test.uri;
        EXPECT_NE(logText().find(entry("info", "tried to open " + std::string(test.uri) +
                                                   " with plugin avlib.\nOpening failed: " + test.failure)),
                  std::string::npos)
            << logText();
    }
}

TEST_F(CPluginHandlerTest, CreatesFormatsByTheExtensionOnlyWithoutOpeningThem)
{
    const P<CPluginHandler> handler = loadBoth();

    const P<IFormat> format = handler->tryCreateVideoFormat(*uri("file:///media/out.WAV"), false);
    ASSERT_TRUE(format);
    EXPECT_EQ(format->getPluginName(), String("sound"));
    EXPECT_FALSE(format->isOpened());
    EXPECT_FALSE(handler->tryCreateVideoFormat(*uri("file:///media/out.xyz"), false));
    EXPECT_EQ(failuresOf(*handler), "avlib: does not take the extension \"xyz\"\n"
                                    "sound: does not take the extension \"xyz\"\n");
    EXPECT_EQ(countOf(logText(), " asked for 8 "), 1u) << logText();

    const P<lumo::CURI> media = uri("file:///media/clip.avi?throwmake=avlib");
    EXPECT_TRUE(handler->tryCreateAudioFormat(*media, 7, 8, 9, false));
    EXPECT_EQ(m_context->getPluginForURI(soundFormatType, *media), String("sound"));
    EXPECT_NE(logText().find("sound asked for 16 16 7 8 9"), std::string::npos);
    const P<lumo::CURI> refused = uri("file:///media/clip.avi?refuse=avlib&refuse=sound");
    EXPECT_FALSE(handler->tryCreateFormat(*refused, 1, 2, 3, false));
    EXPECT_EQ(m_context->getPluginForURI(formatType | soundFormatType, *refused), String());
}

TEST(CPluginHandlerWithoutContextTest, SearchesWithoutLoggingOrRemembering)
{
    const P<CPluginHandler> handler = make<CPluginHandler>(nullptr, false);

    ASSERT_EQ(handler->getPluginCount(), 2);
    const P<lumo::CURI> media = make<lumo::CURI>(String("file:///media/clip.avi?throw=avlib"));
    const P<IVideoSource> source = handler->tryCreateVideoSource(*media, true);
    ASSERT_TRUE(source);
    EXPECT_EQ(source->getPluginName(), String("sound"));
}

TEST_F(CPluginHandlerTest, GrabsThePictureAtATimeWithinTheClip)
{
    // The clip lasts 10 seconds.
    const std::pair<double, int> cases[] = {{3.0, 3}, {25.0, 9}, {0.0, 0}, {-5.0, 0}};
    const P<CPluginHandler> handler = loadBoth();
    int32_t width = -1, height = -1;
    for (const auto& [time, position] : cases) {
        const P<lumo::IMemoryBlock> pixels = handler->grabPicture(*uri("file:///media/clip.avi"), time, width, height);
        ASSERT_TRUE(pixels);
        EXPECT_EQ(width, 4);
        EXPECT_EQ(height, 2);
        ASSERT_EQ(pixels->getSize(), 4 * 2 * 4);
        EXPECT_EQ(pixels->getData()[0], position) << "at " << time;
    }
    EXPECT_FALSE(handler->grabPicture(*uri("file:///media/clip.avi?fail=avlib&fail=sound"), 1.0, width, height));
    EXPECT_EQ(width, 0);
    EXPECT_EQ(height, 0);
}
