// A boxed master over the real plugins beside the test program: slaves name
// them, and none of their code, nor what they link, enters this process.
#include "host/CPluginHandler.h"

#include "boxed/CBoxedFixture.h"
#include "host/CPluginAnswerCache.h"
#include "host/IVideoSource.h"
#include "media/IAudioChunk.h"
#include "platform/fileNameSuffixes.h"
#include "support/binFolder.h"
#include "support/isModuleResident.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

namespace {

using lumo::make;
using lumo::P;
using lumo::String;
using nebo::common::CPluginHandler;
using nebo::test::extensionsOf;
using nebo::test::pluginNamesOf;

// A WAV file of mono 16-bit sound at 8000 Hz whose sample i is i * 37.
std::string makeWAV(uint32_t frames)
{
    std::string bytes;
    const auto put = [&bytes](uint32_t value, int size) {
        for (int i = 0; i < size; ++i)
            bytes += static_cast<char>(value >> (8 * i));
    };
    bytes += "RIFF";
    put(36 + 2 * frames, 4);
    bytes += "WAVEfmt ";
    put(16, 4);
    put(1, 2);        // PCM
    put(1, 2);        // channels
    put(8000, 4);     // frames per second
    put(8000 * 2, 4); // bytes per second
    put(2, 2);        // bytes per frame
    put(16, 2);       // bits per sample
    bytes += "data";
    put(2 * frames, 4);
    for (uint32_t i = 0; i < frames; ++i)
        put(i * 37 & 0xffff, 2);
    return bytes;
}

// All the sound the source gives, at most a second of it, as bytes.
std::string readSound(nebo::common::IAudioSource& source)
{
    std::string bytes;
    while (bytes.size() < 8000 * 2) {
        const P<nebo::audio::IAudioChunk> chunk = source.getNextAudioChunk();
        if (!chunk)
            break;
        bytes.append(reinterpret_cast<const char*>(chunk->getData()), static_cast<size_t>(chunk->getDataSize()));
    }
    return bytes;
}

class BoxedMediaPluginHandlerTest : public nebo::test::CBoxedFixture {
protected:
    // Opens the sound of the file in the media folder, which must be the
    // tone of makeWAV, and says which plugin did.
    std::string openTone(CPluginHandler& handler, const std::string& name)
    {
        const P<nebo::common::IAudioSource> source =
            handler.tryCreateAudioSource(*m_media.uriOf(name), 0, 0, 0, true);
        if (!source)
            return "none";
        const std::string wav = makeWAV(toneFrames);
        EXPECT_EQ(readSound(*source), wav.substr(wav.size() - 2 * toneFrames)) << name;
        source->close();
        return source->getPluginName().toUTF8();
    }

    static constexpr uint32_t toneFrames = 800;
    lumo::CTempFolder m_media;
};

TEST_F(BoxedMediaPluginHandlerTest, SlavesAnswerForTheBuiltInPluginsOnceAndNoneIsLoadedHere)
{
    const std::vector<std::string> builtIn = {"nebo_avlib", "nebo_sound"};
    const P<CPluginHandler> handler = make<CPluginHandler>(m_context, true);
    const std::vector<std::string> extensions = extensionsOf(*handler->getValidExtensions(3));
    EXPECT_NE(std::find(extensions.begin(), extensions.end(), "flac"), extensions.end());
    EXPECT_EQ(pluginNamesOf(*handler), builtIn);
    const std::string log = logText();
    EXPECT_EQ(log.find("Error while loading DLL: "), log.rfind("Error while loading DLL: ")) << log;
    EXPECT_NE(log.find("Error while loading DLL: CNEBError - could not load plugin: "), std::string::npos) << log;
    EXPECT_NE(log.find(std::string("nebo_filters") + lumo::getModuleSuffix()), std::string::npos) << log;

    // The plugins, and the libraries they link as the build names them.
    std::vector<std::string> modules;
    for (const std::string& plugin : builtIn)
        modules.push_back((nebo::test::binFolder() / (plugin + lumo::getModuleSuffix())).string());
    std::istringstream libraries(NEBO_MEDIA_LIBRARIES);
    for (std::string library; std::getline(libraries, library, '|');)
        modules.push_back(library);
    EXPECT_GT(modules.size(), builtIn.size());
    for (const std::string& module : modules)
        EXPECT_FALSE(lumo::isModuleResident(module)) << module;

    // Were a slave started now, the missing program would stop the handler.
    const int32_t questions = nebo::common::getPluginAnswerCache()->getQuestionCount();
    m_context->setSlaveProgram(make<lumo::CURI>(String("file:///no/such/folder/nebo_slave")));
    const P<CPluginHandler> second = make<CPluginHandler>(m_context, true);
    EXPECT_EQ(pluginNamesOf(*second), builtIn);
    EXPECT_EQ(extensionsOf(*second->getValidExtensions(3)), extensions);
    EXPECT_EQ(nebo::common::getPluginAnswerCache()->getQuestionCount(), questions);
}

TEST_F(BoxedMediaPluginHandlerTest, OpensExtensionsInAnyCaseAndMediaWithoutAKnownOne)
{
    for (const char* name : {"TONE.WAV", "tone", "tone.bin"})
        m_media.put(name, makeWAV(toneFrames));
    const P<CPluginHandler> handler = make<CPluginHandler>(m_context, true);

    // The first plugin that takes the extension, or without one the first
    // whose test-open succeeds, in the slave as in the master.
    for (const char* name : {"TONE.WAV", "tone", "tone.bin"})
        EXPECT_EQ(openTone(*handler, name), "nebo_avlib") << name;
}

} // namespace
