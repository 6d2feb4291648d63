#include "plugins/sound/CSoundSource.h"

#include "foundation/CInvalidArgError.h"
#include "foundation/CInvalidObjectStateError.h"
#include "media/CAudioChunk.h"
#include "plugins/sound/describeSoundFile.h"

#include <algorithm>
#include <cmath>

namespace nebo::sound {

using lumo::make;
using lumo::P;

CSoundSource::CSoundSource(const lumo::IURI& uri, P<lumo::IMemoryManager> memory)
    : m_uri(make<lumo::CURI>(uri.getText())), m_memory(std::move(memory))
{
}

bool CSoundSource::isOpened() { return m_file.has_value(); }

void CSoundSource::open()
{
    if (m_file)
        return;
    m_file.emplace(*m_uri);
    m_frameCount = m_file->getFrameCount();
    m_sampleRate = m_file->getSampleRate();
    m_channelCount = m_file->getChannelCount();
    m_bytesPerSample = m_file->getBytesPerSample();
    m_nextFrame = 0;
    m_bDataEnded = false;
}

void CSoundSource::close() { m_file.reset(); }

void CSoundSource::skipToTime(double seconds)
{
    CSoundFile& file = requireFile();
    const int64_t frame = firstFrameAt(seconds);
    file.seek(frame);
    m_nextFrame = frame;
    m_bDataEnded = false;
}

double CSoundSource::getDuration() { return m_sampleRate > 0 ? timeOfFrame(m_frameCount) : 0.0; }
int32_t CSoundSource::getBufferStatus() { return 100; }
bool CSoundSource::isEOF() { return m_bDataEnded || m_nextFrame >= m_frameCount; }
void CSoundSource::setStartTime(double seconds) { m_startTime = seconds; }
double CSoundSource::getStartTime() { return m_startTime; }
P<lumo::CURI> CSoundSource::getURI() { return m_uri; }
lumo::String CSoundSource::getPluginName() { return lumo::String::fromUTF8("nebo_sound"); }

P<common::IAudioStreamInfos> CSoundSource::getAudioStreamInfos() { return nullptr; }

void CSoundSource::setAudioStream(int32_t nAudioIndex)
{
    if (nAudioIndex != 0)
        throw lumo::CInvalidArgError(lumo::String::fromUTF8("a sound file has only sound stream 0"),
                                     lumo::String::fromUTF8("setAudioStream"), this);
}

P<audio::IAudioChunk> CSoundSource::getNextAudioChunk()
{
    CSoundFile& file = requireFile();
    if (isEOF())
        return nullptr;
    const int64_t frames = std::min<int64_t>(framesPerChunk, m_frameCount - m_nextFrame);
    const int32_t frameBytes = m_channelCount * m_bytesPerSample;
    P<lumo::IMemoryBlock> block = m_memory->allocate(static_cast<int32_t>(frames * frameBytes));
    const int64_t read = file.read(block->getData(), frames);
    if (read == 0) {
        m_bDataEnded = true;
        return nullptr;
    }
    block->setSize(static_cast<int32_t>(read * frameBytes));
    P<audio::IAudioChunk> chunk = make<audio::CAudioChunk>(timeOfFrame(m_nextFrame), std::move(block));
    m_nextFrame += read;
    return chunk;
}

int32_t CSoundSource::getSampleRate() { return m_sampleRate; }
int32_t CSoundSource::getChannelCount() { return m_channelCount; }
int32_t CSoundSource::getBytesPerSample() { return m_bytesPerSample; }

P<common::CMediumFacts> CSoundSource::getMediumFacts()
{
    return make<common::CMediumFacts>(describeSoundFile(requireFile()));
}

CSoundFile& CSoundSource::requireFile()
{
    if (!m_file)
        throw lumo::CInvalidObjectStateError(lumo::String::fromUTF8("the sound source is not open"), this);
    return *m_file;
}

double CSoundSource::timeOfFrame(int64_t frame) const { return static_cast<double>(frame) / m_sampleRate; }

int64_t CSoundSource::firstFrameAt(double seconds) const
{
    if (!(seconds > 0))
        return 0;
    const double position = std::ceil(seconds * m_sampleRate);
    if (position >= static_cast<double>(m_frameCount))
        return m_frameCount;
    // The product may round up past the frame whose own time stamp is
    // `seconds`; chunks are stamped by timeOfFrame, so that decides.
    const int64_t frame = static_cast<int64_t>(position);
    return frame > 0 && timeOfFrame(frame - 1) >= seconds ? frame - 1 : frame;
}

} // namespace nebo::sound
