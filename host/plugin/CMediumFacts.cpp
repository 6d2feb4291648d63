#include "host/plugin/CMediumFacts.h"

#include "foundation/CParseError.h"
#include "streams/IDataInStream.h"
#include "streams/IDataOutStream.h"

#include <cmath>
#include <string>

namespace nebo::common {

namespace {

[[noreturn]] void refuse(const std::string& what)
{
    throw lumo::CParseError(lumo::String::fromUTF8("The medium's facts hold " + what + "."));
}

std::string toText(double value) { return std::to_string(value); }

std::string toText(int64_t value) { return std::to_string(value); }

// Writes the facts in wire order; see FactsReader for the other side.
class FactsWriter {
public:
    explicit FactsWriter(lumo::IDataOutStream& out) : m_out(out) {}

    void text(const lumo::String& value, const char*) { m_out.writeString(*value.get()); }
    void number(const int32_t& value, const char*, int64_t, int64_t) { m_out.writeInt32(value); }
    void number(const int64_t& value, const char*, int64_t, int64_t) { m_out.writeInt64(value); }
    void number(const double& value, const char*, double, double) { m_out.writeDouble(value); }
    void require(bool, const char*) {}

    template <class T, class F> void list(std::vector<T>& items, const char*, int32_t, F&& each)
    {
        m_out.writeInt32(static_cast<int32_t>(items.size()));
        for (T& item : items)
            each(item);
    }

private:
    lumo::IDataOutStream& m_out;
};

// Reads the facts in wire order, checking each value as it arrives, so that
// a slave's lie costs at most one text of the stream's own bound.
class FactsReader {
public:
    explicit FactsReader(lumo::IDataInStream& in) : m_in(in) {}

    void text(lumo::String& value, const char* what)
    {
        value = m_in.readString();
        const size_t bytes = value.toUTF8().size();
        if (bytes > size_t{CMediumFacts::maxTextBytes})
            refuse(std::string(what) + " of " + std::to_string(bytes) + " bytes, where " +
                   std::to_string(CMediumFacts::maxTextBytes) + " are allowed");
    }

    void number(int32_t& value, const char* what, int64_t low, int64_t high)
    {
        value = m_in.readInt32();
        checkRange(int64_t{value}, what, low, high);
    }

    void number(int64_t& value, const char* what, int64_t low, int64_t high)
    {
        value = m_in.readInt64();
        checkRange(value, what, low, high);
    }

    void number(double& value, const char* what, double low, double high)
    {
        value = m_in.readDouble();
        if (!std::isfinite(value))
            refuse(std::string(what) + " that is not a number");
        checkRange(value, what, low, high);
    }

    void require(bool bHolds, const char* what)
    {
        if (!bHolds)
            refuse(what);
    }

    template <class T, class F> void list(std::vector<T>& items, const char* what, int32_t maxCount, F&& each)
    {
        const int32_t count = m_in.readInt32();
        if (count < 0 || count > maxCount)
            refuse(std::to_string(count) + " " + what + ", where 0 to " + std::to_string(maxCount) + " are allowed");
        // Grown one at a time: a count reserves nothing before its items came.
        items.clear();
        for (int32_t i = 0; i < count; ++i)
            each(items.emplace_back());
    }

private:
    template <class T> void checkRange(T value, const char* what, T low, T high)
    {
        if (value < low || value > high)
            refuse(std::string(what) + " " + toText(value) + ", outside " + toText(low) + " to " + toText(high));
    }

    lumo::IDataInStream& m_in;
};

// The one statement of the wire order and the bounds, for both directions.
template <class Io> void transfer(Io& io, SMediumFacts& facts)
{
    using F = CMediumFacts;
    io.text(facts.container, "a container name");
    io.text(facts.containerDescription, "a container description");
    io.number(facts.bitRate, "the bit rate", 0, F::maxBitRate);
    io.list(facts.tags, "tags", F::maxTags, [&](std::pair<lumo::String, lumo::String>& tag) {
        io.text(tag.first, "a tag name");
        io.text(tag.second, "a tag value");
    });
    io.list(facts.chapters, "chapters", F::maxChapters, [&](SChapter& chapter) {
        io.number(chapter.start, "a chapter start", -F::maxChapterTime, F::maxChapterTime);
        io.number(chapter.end, "a chapter end", -F::maxChapterTime, F::maxChapterTime);
        io.require(chapter.end >= chapter.start, "a chapter that ends before it starts");
        io.text(chapter.title, "a chapter title");
    });
    const auto ratio = [&](SRatio& value, const char* what) {
        io.number(value.num, what, 0, F::maxRatioTerm);
        io.number(value.den, what, 0, F::maxRatioTerm);
    };
    io.list(facts.pictureStreams, "picture streams", F::maxStreams, [&](SPictureStreamFacts& stream) {
        io.number(stream.index, "a stream index", 0, F::maxStreamIndex);
        io.text(stream.codec, "a codec name");
        io.text(stream.profile, "a profile name");
        io.text(stream.pixelFormat, "a pixel format");
        io.number(stream.bitDepth, "a bit depth", 0, F::maxBitDepth);
        io.text(stream.chromaSubsampling, "a chroma subsampling");
        io.text(stream.colourRange, "a colour range");
        io.text(stream.colourPrimaries, "colour primaries");
        io.text(stream.colourTransfer, "a colour transfer");
        io.text(stream.colourMatrix, "a colour matrix");
        ratio(stream.sampleAspect, "a sample aspect term");
        ratio(stream.displayAspect, "a display aspect term");
        io.number(stream.rotation, "a rotation", 0, 270);
        io.require(stream.rotation % 90 == 0, "a rotation that is not a quarter turn");
        io.number(stream.bitRate, "a stream bit rate", 0, F::maxBitRate);
    });
    io.list(facts.soundTracks, "sound tracks", F::maxStreams, [&](SSoundTrackFacts& track) {
        io.number(track.index, "a track index", 0, F::maxStreamIndex);
        io.text(track.codec, "a codec name");
        io.text(track.profile, "a profile name");
        io.text(track.sampleFormat, "a sample format");
        io.number(track.bitsPerSample, "bits per sample", 0, F::maxBitsPerSample);
        io.text(track.channelLayout, "a channel layout");
        io.number(track.bitRate, "a track bit rate", 0, F::maxBitRate);
        io.text(track.language, "a language");
    });
    io.text(facts.deliveredSampleFormat, "a delivered sample format");
    io.require(facts.deliveredSampleFormat.toUTF8().empty() || facts.deliveredSampleFormat.toUTF8() == "f32",
               "a delivered sample format other than none or \"f32\"");
}

} // namespace

CMediumFacts::CMediumFacts(SMediumFacts facts) : m_facts(std::move(facts)) {}

void CMediumFacts::write(lumo::IDataOutStream& out)
{
    FactsWriter writer(out);
    transfer(writer, m_facts);
}

bool CMediumFacts::read(lumo::IDataInStream& in)
{
    SMediumFacts facts;
    FactsReader reader(in);
    transfer(reader, facts);
    m_facts = std::move(facts);
    return true;
}

} // namespace nebo::common
