#pragma once

#include "foundation/CObject.h"
#include "host/plugin/SMediumFacts.h"
#include "streams/ISerializable.h"

namespace nebo::common {

// A medium's facts as they cross the pipe. A plugin's source answers
// IMediumFactsSource::getMediumFacts with one; the master reads the answer
// back into one, holding it to the bounds below. Not locked.
//
// Wire form: SMediumFacts' members in declaration order, each as its type
// (ratios as numerator, denominator), each list after its int32 count.
class CMediumFacts : public lumo::CObject, public virtual lumo::ISerializable {
public:
    static constexpr int32_t maxTextBytes = 4096;
    static constexpr int32_t maxTags = 256;
    static constexpr int32_t maxChapters = 1024;
    static constexpr int32_t maxStreams = 64;
    static constexpr int32_t maxStreamIndex = 65535;
    static constexpr int64_t maxBitRate = int64_t{1} << 40;
    static constexpr int32_t maxRatioTerm = 1 << 20;
    static constexpr int32_t maxBitDepth = 32;
    static constexpr int32_t maxBitsPerSample = 64;
    // Seconds either side of zero a chapter may lie.
    static constexpr double maxChapterTime = 1.0e9;

    CMediumFacts() = default;
    explicit CMediumFacts(SMediumFacts facts);

    const SMediumFacts& get() const { return m_facts; }

    void write(lumo::IDataOutStream& out) override;
    // Throws CParseError, naming what is wrong, for a count, text or number
    // outside the bounds above (UTF-8 bytes of a text; a rotation other
    // than 0, 90, 180 or 270; a chapter that ends before it starts; a
    // delivered sample format other than empty or "f32"), each checked as
    // soon as it is read; the stream's errors when the body is cut short.
    // The object keeps its old facts when the read fails.
    bool read(lumo::IDataInStream& in) override;

private:
    SMediumFacts m_facts;
};

} // namespace nebo::common
