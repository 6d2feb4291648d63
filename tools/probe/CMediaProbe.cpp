#include "tools/probe/CMediaProbe.h"

#include "foundation/CError.h"
#include "foundation/castObject.h"
#include "foundation/escapeControlCharacters.h"
#include "host/CPluginHandler.h"
#include "host/IBoxedSource.h"
#include "host/describeSlaveEnd.h"
#include "media/CRGBPicture.h"
#include "tools/probe/CProgressBar.h"
#include "tools/probe/CWAVWriter.h"
#include "tools/probe/writePNG.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <exception>

namespace nebo::probe {

using lumo::P;

namespace {

[[noreturn]] void fail(const std::string& message)
{
    throw lumo::CError(lumo::String::fromUTF8(message));
}

std::string formatNumber(double value, int decimals)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string formatSeconds(double seconds) { return formatNumber(seconds, 3) + " s"; }

std::string getLayoutName(int32_t type)
{
    switch (type) {
    case common::rgbPictureType:
        return "RGB";
    case common::yuy2PictureType:
        return "YUY2";
    case common::nv12PictureType:
        return "NV12";
    case common::yv12PictureType:
        return "YV12";
    default:
        return "unknown (type " + std::to_string(type) + ")";
    }
}

std::string describeFrameRate(int32_t numerator, int32_t denominator)
{
    const std::string ratio = std::to_string(numerator) + "/" + std::to_string(denominator);
    if (denominator == 0)
        return ratio;
    return ratio + " (" + formatNumber(static_cast<double>(numerator) / denominator, 3) + " fps)";
}

// A line for each plugin that was tried, with its reason.
std::string describeFailures(const std::vector<common::CPluginHandler::SFailure>& failures)
{
    std::string text;
    for (const common::CPluginHandler::SFailure& failure : failures) {
        text += "\n" + failure.pluginName.toUTF8() + ": ";
        // A crash's summary takes several lines, set in below its plugin.
        for (const char character : failure.reason.toUTF8())
            text += character == '\n' ? std::string("\n  ") : std::string(1, character);
    }
    return text;
}

} // namespace

CMediaProbe::CMediaProbe(const P<common::INEBContext>& context, std::ostream& facts, std::ostream* progress)
    : m_facts(facts), m_progress(progress),
      m_handler(lumo::make<common::CPluginHandler>(context, true))
{
    if (m_handler->getPluginCount() == 0)
        fail("none of the plugins could be loaded" + describeFailures(m_handler->getLoadFailures()));
}

void CMediaProbe::run(const lumo::IURI& uri, const CProbeOptions& options)
{
    open(uri);
    try {
        describe();
        if (m_video)
            decodePictures(options.maxPictures);
        if (options.thumbnailTime)
            writeThumbnail(*options.thumbnailTime, options.thumbnailPath);
        if (!options.audioPath.empty())
            writeSound(options.audioPath);
    } catch (const lumo::CException&) {
        reportSlaves();
        throw;
    }
    reportSlaves();
}

void CMediaProbe::open(const lumo::IURI& uri)
{
    printFact("URI", uri.getText().toUTF8());
    // Kept open after the handler's test, so that the slave that opened it
    // goes on serving it.
    m_source = m_handler->tryCreateSource(uri, 0, 0, 0, true);
    if (!m_source)
        fail("no plugin could open " + uri.getText().toUTF8() + describeFailures(m_handler->getLastFailures()));
    m_video = lumo::castObject<common::IVideoSource>(m_source, false);
    m_audio = lumo::castObject<common::IAudioSource>(m_source, false);
    // A boxed source offers both sides whatever the medium holds; a side the
    // medium lacks shows as a picture size or a sample rate of nothing.
    if (m_video && m_video->getWidth() <= 0)
        m_video = nullptr;
    if (m_audio && m_audio->getSampleRate() <= 0)
        m_audio = nullptr;
}

void CMediaProbe::describe()
{
    printFact("Plugin", m_source->getPluginName().toUTF8());
    printFact("Duration", formatSeconds(m_source->getDuration()));
    if (m_video) {
        printFact("Picture size", std::to_string(m_video->getWidth()) + "x" + std::to_string(m_video->getHeight()));
        printFact("Frame rate", describeFrameRate(m_video->getFrameRateNum(), m_video->getFrameRateDen()));
    } else {
        printFact("Pictures", "none");
    }
    if (m_audio) {
        printFact("Audio format", std::to_string(m_audio->getSampleRate()) + " Hz, " +
                                      std::to_string(m_audio->getChannelCount()) + " channels, " +
                                      std::to_string(int64_t{m_audio->getBytesPerSample()} * 8) + " bits");
    } else {
        printFact("Audio format", "none");
    }
}

void CMediaProbe::decodePictures(const std::optional<int64_t>& maxPictures)
{
    // The facts so far appear before the bar starts.
    m_facts.flush();
    std::optional<CProgressBar> bar;
    if (m_progress)
        bar.emplace(*m_progress, getExpectedPictureCount(maxPictures));
    std::string layout = "none";
    int64_t count = 0;
    // The pictures decoded before a failure are counted all the same.
    std::exception_ptr failure;
    const auto start = std::chrono::steady_clock::now();
    try {
        while (!maxPictures || count < *maxPictures) {
            const P<common::INEBPicture> picture = m_video->getNextPicture();
            if (!picture)
                break;
            if (count == 0)
                layout = getLayoutName(picture->getType());
            // What a viewer shows: YUV pictures are converted here.
            picture->getRGBPicture();
            ++count;
            if (bar)
                bar->update(count);
        }
    } catch (const lumo::CException&) {
        failure = std::current_exception();
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    if (bar)
        bar->finish();
    printFact("Layout", layout);
    printFact("Pictures decoded", std::to_string(count));
    if (failure)
        std::rethrow_exception(failure);
    if (count > 0 && elapsed.count() > 0.0)
        printFact("Pictures per second", formatNumber(count / elapsed.count(), 1));
}

int64_t CMediaProbe::getExpectedPictureCount(const std::optional<int64_t>& maxPictures)
{
    const double duration = m_source->getDuration();
    const int32_t numerator = m_video->getFrameRateNum();
    const int32_t denominator = m_video->getFrameRateDen();
    const double announced = numerator > 0 && denominator > 0 && duration > 0.0
                                 ? std::round(duration * numerator / denominator)
                                 : 0.0;
    // Beyond what int64_t holds a count is as good as unknown.
    const int64_t expected = announced < 9.0e18 ? static_cast<int64_t>(announced) : 0;
    if (!maxPictures)
        return expected;
    return expected > 0 ? std::min(expected, *maxPictures) : *maxPictures;
}

void CMediaProbe::writeThumbnail(double time, const std::string& path)
{
    if (!m_video)
        fail("the medium has no pictures to take a thumbnail from");
    m_video->skipToTime(time);
    const P<common::INEBPicture> picture = m_video->getNextPicture();
    if (!picture)
        fail("the medium has no picture at " + formatSeconds(time) + " or later");
    writePNG(path, *picture);
    printFact("Thumbnail", path + " (picture at " + formatSeconds(picture->getTimestamp()) + ")");
}

void CMediaProbe::writeSound(const std::string& path)
{
    if (!m_audio)
        fail("the medium has no sound to write");
    const int32_t bytesPerSample = m_audio->getBytesPerSample();
    if (bytesPerSample < 1 || bytesPerSample > 4)
        fail("a WAV file cannot hold samples of " + std::to_string(bytesPerSample) + " bytes");
    CWAVWriter writer(path, {m_audio->getSampleRate(), m_audio->getChannelCount(), bytesPerSample * 8});
    m_audio->skipToTime(0.0);
    while (const P<audio::IAudioChunk> chunk = m_audio->getNextAudioChunk()) {
        if (chunk->getDataSize() < 0)
            fail("the plugin delivered a chunk of " + std::to_string(chunk->getDataSize()) + " bytes");
        writer.append(chunk->getData(), static_cast<size_t>(chunk->getDataSize()));
    }
    writer.finish();
    printFact("Audio file", path + " (" + std::to_string(writer.getDataSize()) + " bytes of sound)");
}

void CMediaProbe::reportSlaves()
{
    try {
        m_source->close();
    } catch (const lumo::CException&) {
        // What the slave left is shown where it failed, or is in the log.
    }
    const P<common::IBoxedSource> boxed = lumo::castObject<common::IBoxedSource>(m_source, false);
    if (!boxed)
        return;
    const std::vector<lumo::String> causes = boxed->getRestartCauses();
    printFact("Restarts", std::to_string(causes.size()));
    for (size_t i = 0; i < causes.size(); ++i)
        printFact("Restart " + std::to_string(i + 1), lumo::escapeControlCharacters(causes[i].toUTF8(), "  "));
    for (const lumo::SProcessEnd& end : boxed->getSlaveEnds())
        printFact("Slave", common::describeSlaveEnd(end).toUTF8());
}

void CMediaProbe::printFact(const std::string& key, const std::string& value)
{
    m_facts << key << ": " << value << '\n';
}

} // namespace nebo::probe
