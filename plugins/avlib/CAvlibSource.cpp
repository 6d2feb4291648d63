#include "plugins/avlib/CAvlibSource.h"

#include "foundation/CInvalidArgError.h"
#include "foundation/CInvalidObjectStateError.h"
#include "host/plugin/INEBContext.h"
#include "plugins/avlib/describeMedium.h"
#include "plugins/avlib/throwAvError.h"

namespace nebo::avlib {

using lumo::make;
using lumo::P;

namespace {

constexpr int32_t logInfo = 2;

// Cover art is one picture beside the sound, not a stream of pictures.
int findPictureStream(const CDemuxer& demuxer)
{
    const int index = demuxer.findBestStream(AVMEDIA_TYPE_VIDEO);
    return index >= 0 && !(demuxer.getStream(index).disposition & AV_DISPOSITION_ATTACHED_PIC) ? index : -1;
}

} // namespace

CAvlibSource::CAvlibSource(const lumo::IURI& uri, int32_t nTypes, P<lumo::IMemoryManager> memory,
                           P<common::ILogManager> log)
    : m_uri(make<lumo::CURI>(uri.getText())), m_nTypes(nTypes), m_memory(std::move(memory)), m_log(std::move(log))
{
}

CAvlibSource::~CAvlibSource() = default;

bool CAvlibSource::isOpened() { return m_pictures || m_sound; }

void CAvlibSource::open()
{
    if (isOpened())
        return;
    auto demuxer = std::make_unique<CDemuxer>(*m_uri);
    const int video = m_nTypes & common::pictureSourceType ? findPictureStream(*demuxer) : -1;
    const int audio = m_nTypes & common::soundSourceType ? demuxer->findBestStream(AVMEDIA_TYPE_AUDIO) : -1;
    if (video < 0 && audio < 0)
        throwMediaError(*m_uri, "the file holds no stream of the kinds asked for");
    const double duration = demuxer->getDuration(video >= 0 ? video : audio);
    const std::string format = demuxer->getContext().iformat->name;
    common::SMediumFacts facts = describeMedium(demuxer->getContext());

    std::unique_ptr<CPictureAhead> pictures;
    std::unique_ptr<CSoundReader> sound;
    if (video >= 0) {
        pictures =
            std::make_unique<CPictureAhead>(std::make_unique<CPictureReader>(std::move(demuxer), video, m_memory));
        pictures->setMaxSize(m_maxWidth, m_maxHeight);
    }
    if (audio >= 0)
        sound =
            std::make_unique<CSoundReader>(demuxer ? std::move(demuxer) : std::make_unique<CDemuxer>(*m_uri), m_memory);
    // The first picture, or the first chunk when there is none, is decoded
    // now, so that a file that only looks readable fails here.
    const bool bNoPicture = !pictures || pictures->isAtEnd();
    if (bNoPicture && (!sound || sound->isAtEnd()))
        throwMediaError(*m_uri, "the file holds nothing that decodes");

    m_pictures = std::move(pictures);
    m_sound = std::move(sound);
    m_duration = duration;
    m_facts = std::move(facts);
    logOpened(format);
}

void CAvlibSource::close()
{
    m_pictures.reset();
    m_sound.reset();
}

void CAvlibSource::requireOpened(const char* method)
{
    if (!isOpened())
        throw lumo::CInvalidObjectStateError(lumo::String::fromUTF8(std::string(method) + ": the source is not open"),
                                             this);
}

void CAvlibSource::skipToTime(double seconds)
{
    requireOpened("skipToTime");
    if (m_pictures)
        m_pictures->skipToTime(seconds);
    if (m_sound)
        m_sound->skipToTime(seconds);
}

double CAvlibSource::getDuration()
{
    requireOpened("getDuration");
    return m_duration;
}

int32_t CAvlibSource::getBufferStatus() { return 100; }

bool CAvlibSource::isEOF()
{
    requireOpened("isEOF");
    return m_pictures ? m_pictures->isAtEnd() : m_sound->isAtEnd();
}

void CAvlibSource::setStartTime(double seconds) { m_startTime = seconds; }
double CAvlibSource::getStartTime() { return m_startTime; }
P<lumo::CURI> CAvlibSource::getURI() { return m_uri; }
lumo::String CAvlibSource::getPluginName() { return lumo::String::fromUTF8(pluginName); }

void CAvlibSource::setMaxSize(int32_t nWidth, int32_t nHeight)
{
    m_maxWidth = nWidth;
    m_maxHeight = nHeight;
    if (m_pictures)
        m_pictures->setMaxSize(nWidth, nHeight);
}

int32_t CAvlibSource::getWidth()
{
    requireOpened("getWidth");
    return m_pictures ? m_pictures->getPictureSize().width : 0;
}

int32_t CAvlibSource::getHeight()
{
    requireOpened("getHeight");
    return m_pictures ? m_pictures->getPictureSize().height : 0;
}

double CAvlibSource::peekNextPictureTimestamp()
{
    requireOpened("peekNextPictureTimestamp");
    return m_pictures ? m_pictures->peekNextTimestamp().value_or(0.0) : 0.0;
}

P<common::INEBPicture> CAvlibSource::getNextPicture()
{
    requireOpened("getNextPicture");
    return m_pictures ? m_pictures->getNextPicture() : nullptr;
}

int32_t CAvlibSource::getPixelAspectNum()
{
    requireOpened("getPixelAspectNum");
    return m_pictures ? m_pictures->getPixelAspect().num : 1;
}

int32_t CAvlibSource::getPixelAspectDen()
{
    requireOpened("getPixelAspectDen");
    return m_pictures ? m_pictures->getPixelAspect().den : 1;
}

AVRational CAvlibSource::getFrameRate()
{
    requireOpened("getFrameRate");
    const AVRational rate = m_pictures ? m_pictures->getFrameRate() : AVRational{0, 1};
    return rate.num > 0 && rate.den > 0 ? rate : AVRational{0, 1};
}

double CAvlibSource::getFrameDuration()
{
    const AVRational rate = getFrameRate();
    return rate.num > 0 ? static_cast<double>(rate.den) / rate.num : 0.0;
}

int32_t CAvlibSource::getFrameRateNum() { return getFrameRate().num; }
int32_t CAvlibSource::getFrameRateDen() { return getFrameRate().den; }

P<common::IAudioStreamInfos> CAvlibSource::getAudioStreamInfos()
{
    requireOpened("getAudioStreamInfos");
    return make<common::CAudioStreamInfos>(m_sound ? m_sound->getStreamInfos()
                                                   : std::vector<common::SAudioStreamInfo>());
}

void CAvlibSource::setAudioStream(int32_t nAudioIndex)
{
    requireOpened("setAudioStream");
    if (!m_sound)
        throw lumo::CInvalidArgError(lumo::String::fromUTF8("audio stream " + std::to_string(nAudioIndex)),
                                     lumo::String("setAudioStream"), this);
    m_sound->selectStream(nAudioIndex);
    if (m_log)
        m_log->logText(logInfo, lumo::String::fromUTF8(std::string(pluginName) + ": " + m_sound->describe()));
}

P<audio::IAudioChunk> CAvlibSource::getNextAudioChunk()
{
    requireOpened("getNextAudioChunk");
    return m_sound ? m_sound->getNextChunk() : nullptr;
}

int32_t CAvlibSource::getSampleRate()
{
    requireOpened("getSampleRate");
    return m_sound ? m_sound->getSampleRate() : 0;
}

int32_t CAvlibSource::getChannelCount()
{
    requireOpened("getChannelCount");
    return m_sound ? m_sound->getChannelCount() : 0;
}

int32_t CAvlibSource::getBytesPerSample() { return CSoundDecoder::bytesPerSample; }

P<common::CMediumFacts> CAvlibSource::getMediumFacts()
{
    requireOpened("getMediumFacts");
    return make<common::CMediumFacts>(m_facts);
}

void CAvlibSource::logOpened(const std::string& format)
{
    if (!m_log)
        return;
    std::string text = std::string(pluginName) + ": opened " + m_uri->getDisplayText().toUTF8() + " (" + format + ")";
    if (m_pictures)
        text += "; " + m_pictures->describe();
    if (m_sound)
        text += "; " + m_sound->describe();
    m_log->logText(logInfo, lumo::String::fromUTF8(text));
}

} // namespace nebo::avlib
