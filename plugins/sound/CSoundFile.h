#pragma once

#include "foundation/IURI.h"

#include <sndfile.h>

#include <cstdint>
#include <vector>

namespace nebo::sound {

// How a file's samples are handed out: in the file's own precision where a
// chunk can carry it, else as signed 16-bit integers.
enum class ESampleDelivery {
    s16,
    // Three bytes, little-endian, signed.
    s24,
    s32,
    // 32-bit floating point, full scale at 1.0; also for 64-bit files.
    f32,
};

// A sound file open for reading through libsndfile, read as interleaved
// samples of its delivery. Not counted: its owner holds it by value. Not
// locked. Every failure throws lumo::CError "<file>: <the library's text>".
class CSoundFile {
public:
    // Opens the native file of `uri`.
    explicit CSoundFile(const lumo::IURI& uri);
    ~CSoundFile();
    CSoundFile(const CSoundFile&) = delete;
    CSoundFile& operator=(const CSoundFile&) = delete;

    // As the file's header states it; the data may end sooner.
    int64_t getFrameCount() const { return m_info.frames; }
    int32_t getSampleRate() const { return m_info.samplerate; }
    int32_t getChannelCount() const { return m_info.channels; }
    // The library's SF_FORMAT_* value: major type, subtype and endianness.
    int32_t getFormat() const { return m_info.format; }
    // The file's text of an SF_STR_* kind; null when it has none.
    const char* getText(int kind) const;

    ESampleDelivery getDelivery() const { return m_delivery; }
    int32_t getBytesPerSample() const;

    // Reads up to `frames` frames into `samples`, which has room for them
    // in the delivery's layout; returns how many were read, 0 at the end.
    int64_t read(uint8_t* samples, int64_t frames);
    // Makes `frame` the next one read.
    void seek(int64_t frame);

private:
    int64_t readPacked24(uint8_t* samples, int64_t frames);
    [[noreturn]] void fail(SNDFILE* file) const;

    lumo::String m_displayText;
    SF_INFO m_info{};
    SNDFILE* m_file = nullptr;
    ESampleDelivery m_delivery = ESampleDelivery::s16;
    // The 32-bit samples that 24-bit ones are packed from.
    std::vector<int32_t> m_wide;
};

} // namespace nebo::sound
