#include "plugins/demo/CDemoSource.h"

#include "foundation/CInvalidArgError.h"
#include "plugins/demo/describeClip.h"

#include <chrono>
#include <string>
#include <thread>

namespace nebo::demo {

using lumo::make;
using lumo::P;

CDemoSource::CDemoSource(const CDemoClip& clip, const lumo::IURI& uri, P<lumo::IMemoryManager> memory,
                         P<common::ILogManager> log)
    : m_clip(clip), m_uri(make<lumo::CURI>(uri.getText())), m_memory(std::move(memory)), m_log(std::move(log))
{
}

bool CDemoSource::isOpened() { return m_bOpened; }
void CDemoSource::open()
{
    if (m_clip.bFailAtOpen)
        misbehave(m_clip.fault);
    m_bOpened = true;
}
void CDemoSource::close() { m_bOpened = false; }

void CDemoSource::skipToTime(double seconds)
{
    m_nextPicture = m_clip.getFirstPictureAt(seconds);
    m_nextChunk = m_clip.getFirstChunkAt(seconds);
}

double CDemoSource::getDuration() { return m_clip.getDuration(); }
int32_t CDemoSource::getBufferStatus() { return 100; }
bool CDemoSource::isEOF() { return m_nextPicture >= m_clip.frameCount; }
void CDemoSource::setStartTime(double seconds) { m_startTime = seconds; }
double CDemoSource::getStartTime() { return m_startTime; }
P<lumo::CURI> CDemoSource::getURI() { return m_uri; }
lumo::String CDemoSource::getPluginName() { return lumo::String::fromUTF8(pluginName); }

void CDemoSource::setMaxSize(int32_t nWidth, int32_t nHeight)
{
    if (m_log)
        m_log->logText(2, lumo::String::fromUTF8(std::string(pluginName) + ": maximum picture size " +
                                                 std::to_string(nWidth) + "x" + std::to_string(nHeight)));
}
int32_t CDemoSource::getWidth() { return m_clip.width; }
int32_t CDemoSource::getHeight() { return m_clip.height; }
double CDemoSource::peekNextPictureTimestamp() { return m_clip.getPictureTime(m_nextPicture); }

P<common::INEBPicture> CDemoSource::getNextPicture()
{
    if (m_clip.strikesAtPicture(m_nextPicture))
        misbehave(m_clip.fault);
    if (m_clip.delayMs > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(m_clip.delayMs));
    if (isEOF())
        return nullptr;
    return m_clip.makePicture(m_nextPicture++, m_memory);
}

int32_t CDemoSource::getPixelAspectNum() { return 1; }
int32_t CDemoSource::getPixelAspectDen() { return 1; }
double CDemoSource::getFrameDuration() { return 1.0 / m_clip.framesPerSecond; }
int32_t CDemoSource::getFrameRateNum() { return m_clip.framesPerSecond; }
int32_t CDemoSource::getFrameRateDen() { return 1; }

P<common::IAudioStreamInfos> CDemoSource::getAudioStreamInfos() { return nullptr; }

void CDemoSource::setAudioStream(int32_t nAudioIndex)
{
    if (nAudioIndex != 0)
        throw lumo::CInvalidArgError("a demo clip has only sound stream 0", "setAudioStream", this);
}

P<audio::IAudioChunk> CDemoSource::getNextAudioChunk()
{
    if (m_clip.strikesAtChunk(m_nextChunk))
        misbehave(m_clip.fault);
    P<audio::IAudioChunk> chunk = m_clip.makeChunk(m_nextChunk, m_memory);
    if (chunk)
        ++m_nextChunk;
    return chunk;
}

int32_t CDemoSource::getSampleRate() { return m_clip.sampleRate; }
int32_t CDemoSource::getChannelCount() { return m_clip.channelCount; }
int32_t CDemoSource::getBytesPerSample() { return CDemoClip::bytesPerSample; }

lumo::P<common::CMediumFacts> CDemoSource::getMediumFacts()
{
    return lumo::make<common::CMediumFacts>(describeClip(m_clip));
}

} // namespace nebo::demo
