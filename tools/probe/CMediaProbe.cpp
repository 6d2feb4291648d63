#include "tools/probe/CMediaProbe.h"

#include "foundation/CError.h"
#include "foundation/castObject.h"
#include "foundation/sync/getTickCount.h"
#include "host/master/IBoxedSource.h"
#include "host/master/describeSlaveEnd.h"
#include "host/plugin/CAudioStreamInfos.h"
#include "host/plugin/ILogManager.h"
#include "host/plugin/IMediumFactsSource.h"
#include "media/CRGBPicture.h"
#include "tools/probe/CContactSheet.h"
#include "tools/probe/CInterruption.h"
#include "tools/probe/CProgressBar.h"
#include "tools/probe/CWAVWriter.h"
#include "tools/probe/describeError.h"
#include "tools/probe/describeFacts.h"
#include "tools/probe/formatNumber.h"
#include "tools/probe/isWritableFolder.h"
#include "tools/probe/makeProbeContext.h"
#include "tools/probe/scaleRGBImage.h"
#include "tools/probe/squarePixelSize.h"
#include "tools/probe/toRGBImage.h"
#include "tools/probe/writePicture.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <filesystem>
#include <utility>

namespace nebo::probe {

using lumo::P;

namespace {

// Seconds since `startTick`, one tick at least: a rate over a span shorter
// than a tick is then a lower bound instead of no rate at all.
double secondsSince(int64_t startTick)
{
    return double(std::max<int64_t>(lumo::getTickCount() - startTick, 1)) / 1000.0;
}

[[noreturn]] void fail(const std::string& message) { throw lumo::CError(lumo::String::fromUTF8(message)); }

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

std::string describeSize(int32_t width, int32_t height) { return std::to_string(width) + "x" + std::to_string(height); }

// The reason without the plugin's name in front, where the plugin put it:
// the report names the plugin already.
std::string withoutPluginName(const std::string& plugin, const std::string& reason)
{
    for (const char* separator : {": ", " - "}) {
        const std::string named = plugin + separator;
        if (reason.size() > named.size() && reason.compare(0, named.size(), named) == 0)
            return reason.substr(named.size());
    }
    return reason;
}

std::vector<SPluginFailure> copyFailures(const std::vector<common::CPluginHandler::SFailure>& failures)
{
    std::vector<SPluginFailure> copies;
    for (const common::CPluginHandler::SFailure& failure : failures) {
        const std::string plugin = failure.pluginName.toUTF8();
        copies.push_back({plugin, withoutPluginName(plugin, failure.reason.toUTF8())});
    }
    return copies;
}

// The most pictures looked at for one picture shown at a time: far more
// than one frame's span holds, so that a plugin that stamps every picture
// alike cannot keep the probe there.
constexpr int maxPicturesInSpan = 64;

// The output's file can be made: its folder exists and may be written, and
// it is no file already unless `bReplace`. Its name was checked with the
// options.
void checkOutputPath(const std::string& option, const std::string& path, bool bReplace)
{
    std::error_code error;
    if (std::filesystem::is_directory(path, error))
        fail(option + ": \"" + path + "\" is a folder, not a file");
    if (!bReplace && std::filesystem::exists(std::filesystem::symlink_status(path, error)))
        fail(option + ": \"" + path + "\" exists already; --force replaces it");
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    const std::string folder = parent.empty() ? "." : parent.string();
    if (!std::filesystem::is_directory(folder, error))
        fail(option + ": there is no folder \"" + folder + "\" to write \"" + path + "\" into");
    if (!isWritableFolder(folder))
        fail(option + ": the folder \"" + folder + "\" may not be written");
}

std::vector<SSoundTrack> copyTracks(const P<common::IAudioStreamInfos>& infos)
{
    std::vector<SSoundTrack> tracks;
    const auto* list = dynamic_cast<const common::CAudioStreamInfos*>(infos.get());
    if (!list)
        return tracks;
    for (const common::SAudioStreamInfo& stream : list->getStreams())
        tracks.push_back(
            {stream.nIndex, stream.codecName.toUTF8(), stream.language.toUTF8(), stream.nChannels, stream.nSampleRate});
    return tracks;
}

} // namespace

CMediaProbe::CMediaProbe(const CProbeOptions& options, IProbeListener& listener, std::ostream* progress,
                         lumo::P<common::CSlavePool> pool)
    : m_options(options), m_listener(listener), m_progress(progress), m_pool(std::move(pool))
{
}

SMediumReport CMediaProbe::run(const std::string& input, const lumo::IURI& uri)
{
    const int64_t start = lumo::getTickCount();
    m_report.input = input;
    m_report.uri = uri.getText().toUTF8();
    notify(EProbeStep::opening);
    if (checkOutputFolders() && attempt("open", [&] { open(uri); }) && attempt("describe", [&] { describe(); }) &&
        checkOutputsFitMedium() && attempt("decode", [&] { decode(); })) {
        if (m_options.thumbnailTime)
            attempt("thumbnail", [&] { writeThumbnail(); });
        if (m_options.sheetCount)
            attempt("sheet", [&] { writeSheet(); });
        if (!m_options.audioPath.empty())
            attempt("audio", [&] { writeSound(); });
    }
    if (m_source)
        reportSlaves();
    release();
    m_report.seconds = secondsSince(start);
    notify(EProbeStep::finished);
    return std::move(m_report);
}

template <class F> bool CMediaProbe::attempt(const char* step, F&& work)
{
    if (noteInterruption())
        return false;
    try {
        work();
        return true;
    } catch (const lumo::CException& error) {
        // Ending the slaves for Ctrl-C fails what they were doing: no error of the medium's.
        if (!noteInterruption())
            addError(step, error.getGeneralDescription()->toUTF8(), describeError(error, m_options.bVerbose));
    } catch (const std::exception& error) {
        if (!noteInterruption())
            addError(step, "failure", error.what());
    }
    return false;
}

bool CMediaProbe::noteInterruption()
{
    if (CInterruption::isRequested())
        m_report.bInterrupted = true;
    return m_report.bInterrupted;
}

void CMediaProbe::addError(const char* step, const std::string& type, const std::string& message)
{
    // Some errors carry no kind of their own; none is shown without one.
    m_report.errors.push_back({step, type.empty() ? "Error" : type, message, std::move(m_pluginFailures)});
    m_pluginFailures.clear();
    notify(EProbeStep::failed);
}

void CMediaProbe::addWarning(const std::string& text)
{
    m_report.warnings.push_back(text);
    notify(EProbeStep::warned);
}

void CMediaProbe::notify(EProbeStep step) { m_listener.onStep(step, m_report); }

// Each output is checked, so that all that would fail are told at once.
bool CMediaProbe::checkOutputFolders()
{
    bool bFit = true;
    if (m_options.thumbnailTime)
        bFit = attempt("check", [&] { checkOutputPath("--thumbnail", m_options.thumbnailPath, m_options.bForce); }) &&
               bFit;
    if (m_options.sheetCount)
        bFit = attempt("check", [&] { checkOutputPath("--sheet", m_options.sheetPath, m_options.bForce); }) && bFit;
    if (!m_options.audioPath.empty())
        bFit = attempt("check", [&] { checkOutputPath("--audio", m_options.audioPath, m_options.bForce); }) && bFit;
    return bFit;
}

void CMediaProbe::open(const lumo::IURI& uri)
{
    m_context = makeProbeContext(m_options);
    m_handler = lumo::make<common::CPluginHandler>(m_context, true, m_pool);
    if (m_handler->getPluginCount() == 0) {
        m_pluginFailures = copyFailures(m_handler->getLoadFailures());
        fail("none of the plugins could be loaded");
    }
    // Kept open after the handler's test, so that the slave that opened it
    // goes on serving it.
    m_source = m_handler->tryCreateSource(uri, 0, 0, 0, true);
    if (!m_source) {
        m_pluginFailures = copyFailures(m_handler->getLastFailures());
        fail("no plugin could open " + m_report.uri);
    }
    m_report.plugin = m_source->getPluginName().toUTF8();
    notify(EProbeStep::opened);
    m_video = lumo::castObject<common::IVideoSource>(m_source, false);
    m_audio = lumo::castObject<common::IAudioSource>(m_source, false);
    // A boxed source offers both sides whatever the medium holds; a side the
    // medium lacks shows as a picture size or a sample rate of nothing.
    m_width = m_video ? m_video->getWidth() : 0;
    m_sampleRate = m_audio ? m_audio->getSampleRate() : 0;
    if (m_width <= 0)
        m_video = nullptr;
    if (m_sampleRate <= 0)
        m_audio = nullptr;
}

void CMediaProbe::chooseSoundTrack(int32_t track)
{
    if (!m_audio)
        fail("--audio-track: the medium has no sound");
    const std::vector<SSoundTrack> tracks = copyTracks(m_audio->getAudioStreamInfos());
    if (std::none_of(tracks.begin(), tracks.end(), [&](const SSoundTrack& listed) { return listed.index == track; })) {
        std::string listed;
        for (const SSoundTrack& known : tracks)
            listed += (listed.empty() ? "" : ", ") + std::to_string(known.index);
        fail("--audio-track: the medium has no sound track " + std::to_string(track) +
             (listed.empty() ? "; its plugin lists none" : "; its tracks are " + listed));
    }
    m_audio->setAudioStream(track);
    // Another track may have another format.
    m_sampleRate = m_audio->getSampleRate();
}

void CMediaProbe::describe()
{
    if (m_options.audioTrack)
        chooseSoundTrack(*m_options.audioTrack);
    m_report.duration = m_source->getDuration();
    if (m_video) {
        m_report.pictures =
            SPictureFacts{m_width, m_video->getHeight(), m_video->getFrameRateNum(), m_video->getFrameRateDen()};
        m_pixelAspectNum = m_video->getPixelAspectNum();
        m_pixelAspectDen = m_video->getPixelAspectDen();
    }
    if (m_audio)
        m_report.sound = SSoundFacts{m_sampleRate, m_audio->getChannelCount(), m_audio->getBytesPerSample(),
                                     copyTracks(m_audio->getAudioStreamInfos())};
    learnFacts();
    m_report.bDescribed = true;
    notify(EProbeStep::described);
}

void CMediaProbe::learnFacts()
{
    const P<common::IMediumFactsSource> told = lumo::castObject<common::IMediumFactsSource>(m_source, false);
    const P<common::CMediumFacts> facts = told ? told->getMediumFacts() : nullptr;
    if (!facts)
        return;
    m_report.facts = facts->get();
    if (!m_report.sound)
        return;
    // Tracks the plugin names only in its facts are listed too.
    std::vector<SSoundTrack>& tracks = m_report.sound->tracks;
    for (const common::SSoundTrackFacts& track : m_report.facts->soundTracks) {
        const auto listed = [&](const SSoundTrack& known) { return known.index == track.index; };
        if (std::none_of(tracks.begin(), tracks.end(), listed))
            tracks.push_back({track.index, track.codec.toUTF8(), track.language.toUTF8(), 0, 0});
    }
}

bool CMediaProbe::checkOutputsFitMedium()
{
    bool bFit = true;
    if (m_options.thumbnailTime) {
        bFit = attempt("check",
                       [&] {
                           const double time = *m_options.thumbnailTime;
                           if (!m_video)
                               fail("the medium has no pictures to take a thumbnail from");
                           if (m_report.duration > 0.0 && time >= m_report.duration)
                               fail("the medium has no picture at " + formatSeconds(time) + " or later: it lasts " +
                                    formatSeconds(m_report.duration));
                       }) &&
               bFit;
    }
    if (m_options.sheetCount) {
        bFit = attempt("check",
                       [&] {
                           if (!m_video)
                               fail("the medium has no pictures to make a sheet of");
                           if (!(m_report.duration > 0.0) || !std::isfinite(m_report.duration))
                               fail("the medium's duration is unknown: a sheet spreads its pictures over it");
                       }) &&
               bFit;
    }
    if (!m_options.audioPath.empty()) {
        bFit = attempt("check",
                       [&] {
                           if (!m_audio)
                               fail("the medium has no sound to write");
                           const int32_t bytesPerSample = m_audio->getBytesPerSample();
                           if (bytesPerSample < 1 || bytesPerSample > 4)
                               fail("a WAV file cannot hold samples of " + std::to_string(bytesPerSample) + " bytes");
                       }) &&
               bFit;
    }
    return bFit;
}

void CMediaProbe::decode()
{
    // Pictures asked for by their time are found by seeking: counting every
    // picture first would decode the whole medium for one of them.
    const bool bOnlyPicturesAskedFor = (m_options.thumbnailTime || m_options.sheetCount) && !m_options.maxPictures;
    if (m_video && bOnlyPicturesAskedFor) {
        m_report.bPicturesSkipped = true;
        notify(EProbeStep::decoded);
    } else if (m_video) {
        decodePictures();
    } else if (m_audio) {
        decodeSound();
    }
}

void CMediaProbe::decodePictures()
{
    std::optional<CProgressBar> bar;
    if (m_progress)
        bar.emplace(*m_progress, getExpectedPictureCount(), "pictures");
    const std::optional<int64_t>& maxPictures = m_options.maxPictures;
    // The pictures decoded before a failure are counted all the same.
    std::exception_ptr failure;
    const int64_t start = lumo::getTickCount();
    try {
        while ((!maxPictures || m_report.picturesDecoded < *maxPictures) && !noteInterruption()) {
            const P<common::INEBPicture> picture = m_video->getNextPicture();
            if (!picture)
                break;
            if (m_report.picturesDecoded == 0)
                m_report.layout = getLayoutName(picture->getType());
            noteOddPicture(*picture);
            // What a viewer shows: YUV pictures are converted here.
            picture->getRGBPicture();
            ++m_report.picturesDecoded;
            if (bar)
                bar->update(m_report.picturesDecoded);
        }
    } catch (const lumo::CException&) {
        failure = std::current_exception();
    }
    const double elapsed = secondsSince(start);
    if (bar)
        bar->finish();
    if (!failure && m_report.picturesDecoded > 0)
        m_report.picturesPerSecond = m_report.picturesDecoded / elapsed;
    notify(EProbeStep::decoded);
    if (m_report.firstOddPicture) {
        const SDecodedPicture& first = *m_report.firstOddPicture;
        addWarning(std::to_string(m_report.oddPictureCount) + " of the pictures differ from the announced size " +
                   describeSize(m_report.pictures->width, m_report.pictures->height) + "; the first, at " +
                   formatSeconds(first.time) + ", is " + describeSize(first.width, first.height));
    }
    if (failure)
        std::rethrow_exception(failure);
}

void CMediaProbe::noteOddPicture(common::INEBPicture& picture)
{
    if (!isOddPicture(picture))
        return;
    if (m_report.oddPictureCount++ == 0)
        m_report.firstOddPicture = SDecodedPicture{picture.getWidth(), picture.getHeight(), picture.getTimestamp()};
}

bool CMediaProbe::isOddPicture(common::INEBPicture& picture) const
{
    return m_report.pictures &&
           (picture.getWidth() != m_report.pictures->width || picture.getHeight() != m_report.pictures->height);
}

// Without pictures the sound is what there is to decode: chunk by chunk,
// up to --frames chunks.
void CMediaProbe::decodeSound()
{
    std::optional<CProgressBar> bar;
    if (m_progress)
        bar.emplace(*m_progress, 0, "chunks");
    const std::optional<int64_t>& maxChunks = m_options.maxPictures;
    std::exception_ptr failure;
    try {
        while ((!maxChunks || m_report.chunksDecoded < *maxChunks) && !noteInterruption()) {
            const P<audio::IAudioChunk> chunk = m_audio->getNextAudioChunk();
            if (!chunk)
                break;
            if (chunk->getDataSize() < 0)
                fail("the plugin delivered a chunk of " + std::to_string(chunk->getDataSize()) + " bytes");
            m_report.soundBytesDecoded += static_cast<uint64_t>(chunk->getDataSize());
            ++m_report.chunksDecoded;
            if (bar)
                bar->update(m_report.chunksDecoded);
        }
    } catch (const lumo::CException&) {
        failure = std::current_exception();
    }
    if (bar)
        bar->finish();
    notify(EProbeStep::decoded);
    if (failure)
        std::rethrow_exception(failure);
}

int64_t CMediaProbe::getExpectedPictureCount()
{
    const double duration = m_report.duration;
    const int32_t numerator = m_report.pictures->frameRateNumerator;
    const int32_t denominator = m_report.pictures->frameRateDenominator;
    const double announced =
        numerator > 0 && denominator > 0 && duration > 0.0 ? std::round(duration * numerator / denominator) : 0.0;
    // Beyond what int64_t holds a count is as good as unknown.
    const int64_t expected = announced < 9.0e18 ? static_cast<int64_t>(announced) : 0;
    const std::optional<int64_t>& maxPictures = m_options.maxPictures;
    if (!maxPictures)
        return expected;
    return expected > 0 ? std::min(expected, *maxPictures) : *maxPictures;
}

P<common::INEBPicture> CMediaProbe::takePictureAt(double seconds)
{
    // A picture shows from its stamp for one frame's span: going back by a
    // span finds the one shown at `seconds` among the first two.
    const int32_t rateNum = m_report.pictures->frameRateNumerator;
    const int32_t rateDen = m_report.pictures->frameRateDenominator;
    const double span = rateNum > 0 && rateDen > 0 ? double(rateDen) / rateNum : 0.0;
    m_video->skipToTime(std::max(seconds - span, 0.0));
    P<common::INEBPicture> shown = m_video->getNextPicture();
    if (!shown)
        fail("the medium has no picture at " + formatSeconds(seconds) + " or later");
    for (int looked = 1; looked < maxPicturesInSpan && !m_video->isEOF() &&
                         m_video->peekNextPictureTimestamp() <= seconds && !noteInterruption();
         ++looked) {
        P<common::INEBPicture> next = m_video->getNextPicture();
        if (!next || next->getTimestamp() > seconds)
            break;
        shown = std::move(next);
    }
    return shown;
}

// A picture of another size than announced keeps its own size, only made
// square-pixelled.
SRGBImage CMediaProbe::toDisplayImage(common::INEBPicture& picture) const
{
    SRGBImage image = toRGBImage(picture);
    const SImageSize display = squarePixelSize({image.width, image.height}, m_pixelAspectNum, m_pixelAspectDen);
    return scaleRGBImage(image, display);
}

// A picture of another size than announced is written at its own size,
// neither cut nor fitted to the announced one, and the report says so.
void CMediaProbe::writeThumbnail()
{
    const double time = *m_options.thumbnailTime;
    const P<common::INEBPicture> picture = takePictureAt(time);
    const SRGBImage image = toDisplayImage(*picture);
    writePicture(m_options.thumbnailPath, image);
    m_report.thumbnail = SThumbnailReport{m_options.thumbnailPath,
                                          time,
                                          {picture->getWidth(), picture->getHeight(), picture->getTimestamp()},
                                          image.width,
                                          image.height};
    notify(EProbeStep::thumbnailWritten);
    if (isOddPicture(*picture))
        addWarning("the thumbnail's picture is " + describeSize(picture->getWidth(), picture->getHeight()) +
                   ", not the announced " + describeSize(m_report.pictures->width, m_report.pictures->height) +
                   ": it was written at its own size");
}

// The pictures sit in the middle of equal parts of the medium, so that
// neither the first nor the last is a black start or end. Each cell has
// the announced pictures' shape.
void CMediaProbe::writeSheet()
{
    const int32_t count = *m_options.sheetCount;
    const SImageSize display =
        squarePixelSize({m_report.pictures->width, m_report.pictures->height}, m_pixelAspectNum, m_pixelAspectDen);
    CContactSheet sheet(count, display);
    for (int32_t index = 0; index < count; ++index) {
        if (noteInterruption())
            fail("the sheet was interrupted");
        const P<common::INEBPicture> picture = takePictureAt((index + 0.5) * m_report.duration / count);
        // The cell has the shape of square pixels already: one scaling makes both.
        sheet.add(toRGBImage(*picture), picture->getTimestamp());
    }
    writePicture(m_options.sheetPath, sheet.getImage());
    m_report.sheet =
        SSheetReport{m_options.sheetPath, sheet.getPictureCount(), sheet.getImage().width, sheet.getImage().height};
    notify(EProbeStep::sheetWritten);
}

void CMediaProbe::writeSound()
{
    const std::string delivered = describeDeliveredSamples();
    CWAVWriter writer(m_options.audioPath, {m_audio->getSampleRate(), m_audio->getChannelCount(),
                                            m_audio->getBytesPerSample() * 8, delivered == "f32"});
    m_audio->skipToTime(0.0);
    while (const P<audio::IAudioChunk> chunk = m_audio->getNextAudioChunk()) {
        if (chunk->getDataSize() < 0)
            fail("the plugin delivered a chunk of " + std::to_string(chunk->getDataSize()) + " bytes");
        writer.append(chunk->getData(), static_cast<size_t>(chunk->getDataSize()));
    }
    writer.finish();
    m_report.soundFile = SSoundFileReport{m_options.audioPath, writer.getDataSize()};
    notify(EProbeStep::soundWritten);
    const std::string held = describeHeldSamples();
    if (!held.empty() && held != delivered)
        addWarning("the medium holds " + held +
                   " samples; the plugin delivered them, and the WAV file holds them, as " + delivered);
}

std::string CMediaProbe::describeDeliveredSamples() const
{
    const std::optional<common::SMediumFacts>& facts = m_report.facts;
    if (facts && facts->deliveredSampleFormat.toUTF8() == "f32")
        return "f32";
    const int32_t bytes = m_report.sound ? m_report.sound->bytesPerSample : 0;
    return bytes == 1 ? "u8" : "s" + std::to_string(bytes * 8);
}

// The chosen track's, else the first listed.
std::string CMediaProbe::describeHeldSamples() const
{
    if (!m_report.facts || m_report.facts->soundTracks.empty())
        return "";
    const common::SSoundTrackFacts* track = m_options.audioTrack ? findSoundTrackFacts(m_report, *m_options.audioTrack)
                                                                 : &m_report.facts->soundTracks.front();
    return track ? track->sampleFormat.toUTF8() : "";
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
    for (const lumo::String& cause : boxed->getRestartCauses())
        m_report.restartCauses.push_back(cause.toUTF8());
    for (const lumo::SProcessEnd& end : boxed->getSlaveEnds())
        m_report.slaves.push_back(
            {end.peakResidentBytes, end.cpuTimeMs, end.cause.toUTF8(), common::describeSlaveEnd(end).toUTF8()});
    notify(EProbeStep::slavesReported);
}

void CMediaProbe::release()
{
    m_video = nullptr;
    m_audio = nullptr;
    m_source = nullptr;
    m_handler = nullptr;
    if (!m_options.bPrintLog || !m_context)
        return;
    if (const P<common::ILogManager> log = m_context->getLogManager())
        m_report.log = log->getLogText().toUTF8();
}

} // namespace nebo::probe
