#include "tools/probe/describeFacts.h"

#include "tools/probe/formatNumber.h"

namespace nebo::probe {

namespace {

// Joins the known parts with ", ".
class CParts {
public:
    CParts& add(const std::string& part)
    {
        if (!part.empty())
            m_text += (m_text.empty() ? "" : ", ") + part;
        return *this;
    }

    const std::string& text() const { return m_text; }

private:
    std::string m_text;
};

std::string withAside(const std::string& text, const std::string& aside)
{
    if (text.empty() || aside.empty())
        return text;
    return text + " (" + aside + ")";
}

std::string describeRatio(const char* what, const common::SRatio& ratio)
{
    if (ratio.num <= 0 || ratio.den <= 0)
        return "";
    return std::string(what) + " " + std::to_string(ratio.num) + ":" + std::to_string(ratio.den);
}

std::string describeColour(const common::SPictureStreamFacts& stream)
{
    std::string colour;
    for (const lumo::String& part :
         {stream.colourRange, stream.colourPrimaries, stream.colourTransfer, stream.colourMatrix}) {
        if (!part.toUTF8().empty())
            colour += " " + part.toUTF8();
    }
    return colour.empty() ? "" : "colour" + colour;
}

std::string countOf(int64_t count, const std::string& singular, const std::string& plural)
{
    return count <= 0 ? "" : std::to_string(count) + " " + (count == 1 ? singular : plural);
}

} // namespace

std::string formatBitRate(int64_t bitsPerSecond)
{
    if (bitsPerSecond <= 0)
        return "";
    // Below what would round to "1000 kbit/s".
    if (bitsPerSecond < 999500)
        return formatNumber(double(bitsPerSecond) / 1e3, 0) + " kbit/s";
    return formatNumber(double(bitsPerSecond) / 1e6, 2) + " Mbit/s";
}

FactLines describeMediumFacts(const common::SMediumFacts& facts)
{
    FactLines lines;
    if (const std::string container = facts.container.toUTF8(); !container.empty())
        lines.emplace_back("Container", withAside(container, facts.containerDescription.toUTF8()));
    if (facts.bitRate > 0)
        lines.emplace_back("Bit rate", formatBitRate(facts.bitRate));
    for (const auto& [key, value] : facts.tags)
        lines.emplace_back("Tag " + key.toUTF8(), value.toUTF8());
    for (size_t i = 0; i < facts.chapters.size(); ++i) {
        const common::SChapter& chapter = facts.chapters[i];
        const std::string span = formatNumber(chapter.start, 3) + " to " + formatSeconds(chapter.end);
        lines.emplace_back("Chapter " + std::to_string(i + 1), CParts().add(span).add(chapter.title.toUTF8()).text());
    }
    return lines;
}

std::string describePictureStream(const common::SPictureStreamFacts& stream)
{
    return CParts()
        .add(withAside(stream.codec.toUTF8(), stream.profile.toUTF8()))
        .add(stream.pixelFormat.toUTF8())
        .add(countOf(stream.bitDepth, "bit", "bits"))
        .add(stream.chromaSubsampling.toUTF8())
        .add(describeColour(stream))
        .add(describeRatio("pixels", stream.sampleAspect))
        .add(describeRatio("display", stream.displayAspect))
        .add(stream.rotation != 0 ? "rotated " + std::to_string(stream.rotation) + "\u00b0" : "")
        .add(formatBitRate(stream.bitRate))
        .text();
}

std::string describeSoundTrack(const SSoundTrack& track, const common::SSoundTrackFacts* told)
{
    const common::SSoundTrackFacts none;
    const common::SSoundTrackFacts& facts = told ? *told : none;
    const std::string codec = track.codec.empty() ? facts.codec.toUTF8() : track.codec;
    const std::string channels = countOf(track.channels, "channel", "channels");
    const std::string layout = facts.channelLayout.toUTF8();
    // A layout of no known order reads "N channels", whatever N.
    const bool namesMoreThanCount = layout != channels && layout != std::to_string(track.channels) + " channels";
    const std::string samples =
        CParts().add(facts.sampleFormat.toUTF8()).add(countOf(facts.bitsPerSample, "bit", "bits")).text();
    const std::string language = track.language.empty() ? facts.language.toUTF8() : track.language;
    return CParts()
        .add(withAside(codec.empty() ? "unknown" : codec, facts.profile.toUTF8()))
        .add(channels.empty() ? layout : withAside(channels, namesMoreThanCount ? layout : ""))
        .add(track.sampleRate > 0 ? std::to_string(track.sampleRate) + " Hz" : "")
        .add(samples)
        .add(formatBitRate(facts.bitRate))
        .add(language.empty() ? "" : "language " + language)
        .text();
}

const common::SSoundTrackFacts* findSoundTrackFacts(const SMediumReport& report, int32_t index)
{
    if (!report.facts)
        return nullptr;
    for (const common::SSoundTrackFacts& track : report.facts->soundTracks)
        if (track.index == index)
            return &track;
    return nullptr;
}

} // namespace nebo::probe
