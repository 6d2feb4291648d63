#pragma once

// The plugin that every test plugin library builds under its own name and extensions. The URI's query,
// "behaviour=plugin" items joined by "&", makes one plugin misbehave while the others work: refuse (makes no source or
// format), throwmake (making one throws a CError), fail (its source does not open), throw (opening its source throws a
// CError), throwother (opening it throws no lumo error). Every request is logged at level 3 as "<plugin> asked for
// <types> <size> <value1> <value2> <value3>" (the last four from the source parameters).

#include "foundation/CError.h"
#include "foundation/CObject.h"
#include "host/plugin/CPluginExtensions.h"
#include "host/plugin/IAudioFormat.h"
#include "host/plugin/IAudioSource.h"
#include "host/plugin/IVideoSource.h"
#include "host/plugin/pluginExport.h"
#include "media/CRGBPicture.h"
#include "streams/CMemoryBlock.h"

#include <cstring>

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace nebo::test {

using lumo::P;
using lumo::String;

inline bool queryAsks(const lumo::IURI& uri, const std::string& behaviour, const String& pluginName)
{
    const std::string item = behaviour + "=" + pluginName.toUTF8();
    const std::string query = "&" + uri.getQuery().toUTF8() + "&";
    return query.find("&" + item + "&") != std::string::npos;
}

// What the test source and format share: the URI, the plugin's name and whether it is open.
template <class Interface> class TTestMedium : public lumo::CObject, public virtual Interface {
public:
    TTestMedium(const lumo::IURI& uri, const String& pluginName)
        : m_uri(lumo::make<lumo::CURI>(uri.getText())), m_pluginName(pluginName)
    {
    }

    bool isOpened() override { return m_bOpened; }
    void close() override { m_bOpened = false; }
    P<lumo::CURI> getURI() override { return m_uri; }
    String getPluginName() override { return m_pluginName; }

protected:
    P<lumo::CURI> m_uri;
    String m_pluginName;
    bool m_bOpened = false;
};

// Ten seconds of 4x2 pictures. Every byte of a picture holds the whole seconds of its time stamp: the time last skipped
// to; from the end on there is none.
class CTestVideoSource : public TTestMedium<common::IVideoSource> {
public:
    using TTestMedium::TTestMedium;

    void open() override
    {
        if (queryAsks(*m_uri, "throw", m_pluginName))
            throw lumo::CError(String("cannot read this"), String("CTestError"));
        if (queryAsks(*m_uri, "throwother", m_pluginName))
            throw std::runtime_error("cannot read this");
        m_bOpened = !queryAsks(*m_uri, "fail", m_pluginName);
    }
    void skipToTime(double seconds) override { m_position = seconds; }
    double getDuration() override { return 10.0; }
    int32_t getBufferStatus() override { return 100; }
    bool isEOF() override { return false; }
    void setStartTime(double) override {}
    double getStartTime() override { return 0.0; }

    void setMaxSize(int32_t, int32_t) override {}
    int32_t getWidth() override { return 4; }
    int32_t getHeight() override { return 2; }
    double peekNextPictureTimestamp() override { return 0.0; }
    P<common::INEBPicture> getNextPicture() override
    {
        if (m_position >= getDuration())
            return nullptr;
        const int32_t size = getWidth() * getHeight() * 4;
        P<lumo::IMemoryBlock> block = lumo::make<lumo::CMemoryBlock>(size);
        block->setSize(size);
        std::memset(block->getData(), static_cast<int>(m_position), static_cast<size_t>(size));
        return lumo::make<common::CRGBPicture>(nullptr, m_position, block, getWidth(), getHeight(), false);
    }
    int32_t getPixelAspectNum() override { return 1; }
    int32_t getPixelAspectDen() override { return 1; }
    double getFrameDuration() override { return 0.04; }
    int32_t getFrameRateNum() override { return 25; }
    int32_t getFrameRateDen() override { return 1; }

private:
    double m_position = 0.0;
};

// The pictures with silence that is never read.
class CTestSource : public CTestVideoSource, public virtual common::IAudioSource {
public:
    using CTestVideoSource::CTestVideoSource;

    P<common::IAudioStreamInfos> getAudioStreamInfos() override { return nullptr; }
    void setAudioStream(int32_t) override {}
    P<audio::IAudioChunk> getNextAudioChunk() override { return nullptr; }
    int32_t getSampleRate() override { return 44100; }
    int32_t getChannelCount() override { return 2; }
    int32_t getBytesPerSample() override { return 2; }
};

// An encoder that encodes nothing.
class CTestFormat : public TTestMedium<common::IAudioFormat> {
public:
    using TTestMedium::TTestMedium;

    void open() override { m_bOpened = true; }
    bool isEncoding() override { return false; }
    String getFormatName() override { return String("test"); }
    void encode() override {}
    int32_t getProgress() override { return 100; }
    void abort() override {}
    void setVideoSource(P<common::IVideoSource>) override {}
    void setAudioSource(P<common::IAudioSource>) override {}
    void setSampleRate(int32_t) override {}
    void setChannelCount(int32_t) override {}
};

class CTestPlugin : public lumo::CObject, public virtual common::INEBPlugin {
public:
    CTestPlugin(common::INEBContext* context, const String& name, std::vector<std::u16string> extensions)
        : m_context(context), m_name(name), m_extensions(std::move(extensions))
    {
    }

    String getPluginName() override { return m_name; }
    int32_t getValidTypes() override
    {
        return common::pictureSourceType | common::soundSourceType | common::formatType | common::soundFormatType;
    }
    P<common::IPluginExtensions> getValidExtensions(int32_t) override
    {
        P<common::CPluginExtensions> extensions = lumo::make<common::CPluginExtensions>();
        for (const std::u16string& extension : m_extensions)
            extensions->addExtension(extension.c_str());
        return extensions;
    }
    P<common::ISource> tryCreateSource(const lumo::IURI& uri, int32_t nTypes, bool,
                                       const SSourceParams* pParams) override
    {
        if (!accepts(uri, nTypes, pParams))
            return nullptr;
        return lumo::make<CTestSource>(uri, m_name);
    }
    P<common::IFormat> tryCreateFormat(const lumo::IURI& uri, int32_t nTypes, bool,
                                       const SSourceParams* pParams) override
    {
        if (!accepts(uri, nTypes, pParams))
            return nullptr;
        return lumo::make<CTestFormat>(uri, m_name);
    }

private:
    bool accepts(const lumo::IURI& uri, int32_t nTypes, const SSourceParams* pParams)
    {
        const SSourceParams params = pParams ? *pParams : SSourceParams{0, 0, 0, 0};
        if (m_context)
            m_context->getLogManager()->logText(
                3, m_name + String(" asked for ") + String::fromInt(nTypes) + String(" ") +
                       String::fromInt(params.nSize) + String(" ") + String::fromInt(params.nValue1) + String(" ") +
                       String::fromInt(params.nValue2) + String(" ") + String::fromInt(params.nValue3));
        if (queryAsks(uri, "throwmake", m_name))
            throw lumo::CError(String("cannot make this"), String("CTestError"));
        return !queryAsks(uri, "refuse", m_name);
    }

    common::INEBContext* m_context;
    String m_name;
    std::vector<std::u16string> m_extensions;
};

} // namespace nebo::test
