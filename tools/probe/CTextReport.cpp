#include "tools/probe/CTextReport.h"

#include "foundation/escapeControlCharacters.h"
#include "tools/probe/describeFacts.h"
#include "tools/probe/formatNumber.h"

namespace nebo::probe {

namespace {

const std::string unknown = "unknown";

// "1 channel", "2 channels".
std::string countOf(int64_t count, const std::string& singular, const std::string& plural)
{
    return std::to_string(count) + " " + (count == 1 ? singular : plural);
}

std::string describeFrameRate(int32_t numerator, int32_t denominator)
{
    if (numerator <= 0 || denominator <= 0)
        return unknown;
    return std::to_string(numerator) + "/" + std::to_string(denominator) + " (" +
           formatNumber(static_cast<double>(numerator) / denominator, 3) + " fps)";
}

std::string describeSize(int32_t width, int32_t height) { return std::to_string(width) + "x" + std::to_string(height); }

// The kind, the message, then a line for each plugin that was tried with
// its reason; a crash's summary takes several lines, set in below its
// plugin.
std::string describeError(const SProbeError& error)
{
    std::string text = error.type + ": " + error.message;
    for (const SPluginFailure& failure : error.plugins) {
        text += "\n" + failure.plugin + ": ";
        for (const char character : failure.reason)
            text += character == '\n' ? std::string("\n  ") : std::string(1, character);
    }
    return text;
}

bool deliversFloat(const SMediumReport& report)
{
    return report.facts && report.facts->deliveredSampleFormat.toUTF8() == "f32";
}

// Whether a plugin had a part in a failure: an output refused before
// decoding is the probe's own finding, and the log tells nothing of it.
bool involvesPlugins(const SMediumReport& report)
{
    for (const SProbeError& error : report.errors)
        if (error.step != "check")
            return true;
    return false;
}

} // namespace

CTextReport::CTextReport(std::ostream* facts, std::ostream& errors, std::string errorPrefix, bool bPrintLog)
    : m_facts(facts), m_errors(errors), m_errorPrefix(std::move(errorPrefix)), m_bPrintLog(bPrintLog)
{
}

void CTextReport::onStep(EProbeStep step, const SMediumReport& report)
{
    switch (step) {
    case EProbeStep::failed:
        // The facts tell the failure too, so that they alone show every
        // medium's outcome.
        if (m_facts)
            printFact("Failed", report.errors.back().step + ": " + describeError(report.errors.back()));
        printError(report.errors.back());
        return;
    case EProbeStep::warned:
        if (m_facts)
            m_facts->flush();
        m_errors << m_errorPrefix << "warning: " << lumo::escapeControlCharacters(report.warnings.back(), "  ")
                 << std::endl;
        return;
    case EProbeStep::finished:
        printEnd(report);
        return;
    default:
        if (m_facts)
            printFacts(step, report);
    }
}

void CTextReport::printFacts(EProbeStep step, const SMediumReport& report)
{
    switch (step) {
    case EProbeStep::opening:
        printFact("URI", report.uri);
        break;
    case EProbeStep::opened:
        printFact("Plugin", report.plugin);
        break;
    case EProbeStep::described:
        printDescription(report);
        break;
    case EProbeStep::decoded:
        printDecoding(report);
        break;
    case EProbeStep::thumbnailWritten: {
        const SDecodedPicture& picture = report.thumbnail->picture;
        printFact("Thumbnail", report.thumbnail->path + " (picture at " + formatSeconds(picture.time) + ", " +
                                   describeSize(report.thumbnail->width, report.thumbnail->height) + ")");
        break;
    }
    case EProbeStep::sheetWritten:
        printFact("Sheet", report.sheet->path + " (" + std::to_string(report.sheet->pictures) + " pictures, " +
                               std::to_string(report.sheet->width) + "x" + std::to_string(report.sheet->height) + ")");
        break;
    case EProbeStep::soundWritten:
        printFact("Audio file",
                  report.soundFile->path + " (" + std::to_string(report.soundFile->soundBytes) + " bytes of sound)");
        break;
    case EProbeStep::slavesReported:
        printSlaves(report);
        break;
    default:
        break;
    }
    // The facts so far appear before a progress bar or an error.
    m_facts->flush();
}

void CTextReport::printDescription(const SMediumReport& report)
{
    printFact("Duration", report.duration > 0.0 ? formatSeconds(report.duration) : unknown);
    if (report.facts) {
        for (const auto& [key, value] : describeMediumFacts(*report.facts))
            printFact(key, value);
    }
    if (const std::optional<SPictureFacts>& pictures = report.pictures) {
        printFact("Picture size", describeSize(pictures->width, pictures->height));
        printFact("Frame rate", describeFrameRate(pictures->frameRateNumerator, pictures->frameRateDenominator));
        if (report.facts) {
            for (const common::SPictureStreamFacts& stream : report.facts->pictureStreams)
                printFact("Picture stream " + std::to_string(stream.index), describePictureStream(stream));
        }
    } else {
        printFact("Pictures", "none");
    }
    if (const std::optional<SSoundFacts>& sound = report.sound) {
        printFact("Audio format", std::to_string(sound->sampleRate) + " Hz, " +
                                      countOf(sound->channels, "channel", "channels") + ", " +
                                      countOf(int64_t{sound->bytesPerSample} * 8, "bit", "bits") +
                                      (deliversFloat(report) ? " floating point" : ""));
        for (const SSoundTrack& track : sound->tracks)
            printFact("Sound track " + std::to_string(track.index),
                      describeSoundTrack(track, findSoundTrackFacts(report, track.index)));
    } else {
        printFact("Audio format", "none");
    }
}

void CTextReport::printDecoding(const SMediumReport& report)
{
    if (!report.pictures) {
        printFact("Chunks decoded", std::to_string(report.chunksDecoded) + " (" +
                                        std::to_string(report.soundBytesDecoded) + " bytes of sound)");
        return;
    }
    if (report.bPicturesSkipped) {
        printFact("Pictures decoded", "only those asked for (--frames N counts N first)");
        return;
    }
    printFact("Layout", report.layout.empty() ? "none" : report.layout);
    printFact("Pictures decoded", std::to_string(report.picturesDecoded));
    if (report.oddPictureCount > 0)
        printFact("Pictures of another size", std::to_string(report.oddPictureCount));
    if (report.picturesPerSecond)
        printFact("Pictures per second", formatNumber(*report.picturesPerSecond, 1));
}

void CTextReport::printSlaves(const SMediumReport& report)
{
    printFact("Restarts", std::to_string(report.restartCauses.size()));
    for (size_t i = 0; i < report.restartCauses.size(); ++i)
        printFact("Restart " + std::to_string(i + 1), report.restartCauses[i]);
    for (const SSlaveReport& slave : report.slaves)
        printFact("Slave", slave.description);
}

void CTextReport::printFact(const std::string& key, const std::string& value)
{
    *m_facts << key << ": " << lumo::escapeControlCharacters(value, "  ") << '\n';
}

// The error's text may come from a slave: lines after the first are
// indented, so that none of them passes for a line of the probe's own.
void CTextReport::printError(const SProbeError& error)
{
    if (m_facts)
        m_facts->flush();
    m_errors << m_errorPrefix << lumo::escapeControlCharacters(describeError(error), "  ") << std::endl;
}

void CTextReport::printEnd(const SMediumReport& report)
{
    if (report.bInterrupted && m_facts)
        printFact("Interrupted", "Ctrl-C stopped the probe before this medium was done");
    if (m_bPrintLog && m_facts)
        *m_facts << "Log:\n" << lumo::escapeControlCharacters(report.log) << std::flush;
    else if (!m_bPrintLog && involvesPlugins(report))
        m_errors << m_errorPrefix << "--log shows what the plugins reported" << std::endl;
}

} // namespace nebo::probe
