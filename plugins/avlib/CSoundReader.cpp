#include "plugins/avlib/CSoundReader.h"

#include "foundation/CInvalidArgError.h"

extern "C" {
#include <libavutil/dict.h>
}

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

namespace nebo::avlib {

using lumo::P;

namespace {

common::SAudioStreamInfo describeStream(const AVStream& stream, int32_t number)
{
    const AVDictionaryEntry* language = av_dict_get(stream.metadata, "language", nullptr, 0);
    common::SAudioStreamInfo info;
    info.nIndex = number;
    info.codecName = lumo::String::fromUTF8(avcodec_get_name(stream.codecpar->codec_id));
    info.language = lumo::String::fromUTF8(language ? language->value : "");
    info.nChannels = stream.codecpar->ch_layout.nb_channels;
    info.nSampleRate = stream.codecpar->sample_rate;
    return info;
}

} // namespace

CSoundReader::CSoundReader(std::unique_ptr<CDemuxer> demuxer, P<lumo::IMemoryManager> memory)
    : m_uri(lumo::make<lumo::CURI>(demuxer->getURI().getText())), m_memory(std::move(memory)),
      m_streams(demuxer->findStreams(AVMEDIA_TYPE_AUDIO))
{
    for (size_t number = 0; number < m_streams.size(); ++number)
        m_infos.push_back(describeStream(demuxer->getStream(m_streams[number]), static_cast<int32_t>(number)));
    const auto best = std::find(m_streams.begin(), m_streams.end(), demuxer->findBestStream(AVMEDIA_TYPE_AUDIO));
    m_number = best == m_streams.end() ? 0 : static_cast<int32_t>(best - m_streams.begin());
    m_decoder = std::make_unique<CSoundDecoder>(std::move(demuxer), m_streams.at(m_number), m_memory);
}

void CSoundReader::selectStream(int32_t number)
{
    if (number < 0 || number >= static_cast<int32_t>(m_streams.size()))
        throw lumo::CInvalidArgError(lumo::String::fromUTF8("audio stream " + std::to_string(number)),
                                     lumo::String("setAudioStream"));
    if (number == m_number)
        return;
    // A reading of its own starts the new stream afresh, as if the file had
    // just been opened with it.
    m_decoder = std::make_unique<CSoundDecoder>(std::make_unique<CDemuxer>(*m_uri), m_streams[number], m_memory);
    m_number = number;
    m_pending = nullptr;
    if (m_position)
        seekDecoder(*m_position);
}

std::string CSoundReader::describe() const
{
    const common::SAudioStreamInfo& info = m_infos[static_cast<size_t>(m_number)];
    std::string text = "sound from stream " + std::to_string(m_streams[static_cast<size_t>(m_number)]) + ": " +
                       info.codecName.toUTF8() + " " + std::to_string(info.nSampleRate) + " Hz, " +
                       std::to_string(info.nChannels) + " channels";
    if (!info.language.isEmpty())
        text += ", language " + info.language.toUTF8();
    return text;
}

P<audio::IAudioChunk> CSoundReader::getNextChunk()
{
    if (!fillPending())
        return nullptr;
    P<audio::CAudioChunk> chunk = std::move(m_pending);
    const int64_t frames = chunk->getDataSize() / (int64_t(getChannelCount()) * CSoundDecoder::bytesPerSample);
    m_position = chunk->getTimestamp() + static_cast<double>(frames) / getSampleRate();
    return chunk;
}

bool CSoundReader::isAtEnd() { return !fillPending(); }

void CSoundReader::skipToTime(double seconds)
{
    m_position = seconds;
    seekDecoder(seconds);
}

void CSoundReader::seekDecoder(double seconds)
{
    m_pending = nullptr;
    m_dropBefore = seconds;
    m_decoder->seek(seconds);
}

bool CSoundReader::fillPending()
{
    while (!m_pending) {
        P<audio::CAudioChunk> chunk = m_decoder->decodeChunk();
        if (!chunk)
            return false;
        m_pending = trimmed(std::move(chunk));
    }
    return true;
}

P<audio::CAudioChunk> CSoundReader::trimmed(P<audio::CAudioChunk> chunk) const
{
    if (!m_dropBefore || chunk->getTimestamp() >= *m_dropBefore)
        return chunk;
    const int32_t frameBytes = getChannelCount() * CSoundDecoder::bytesPerSample;
    const int64_t frames = chunk->getDataSize() / frameBytes;
    // The first sample whose time is not below the skip's; the tolerance
    // keeps a sample that lies exactly on it.
    const double late = (*m_dropBefore - chunk->getTimestamp()) * getSampleRate();
    const int64_t cut = std::min<int64_t>(frames, static_cast<int64_t>(std::ceil(late - 1e-6)));
    if (cut >= frames)
        return nullptr;
    const P<lumo::IMemoryBlock> block = chunk->getMemoryBlock();
    const int64_t keptBytes = (frames - cut) * frameBytes;
    std::memmove(block->getData(), block->getData() + cut * frameBytes, static_cast<size_t>(keptBytes));
    block->setSize(static_cast<int32_t>(keptBytes));
    return lumo::make<audio::CAudioChunk>(chunk->getTimestamp() + static_cast<double>(cut) / getSampleRate(), block);
}

} // namespace nebo::avlib
