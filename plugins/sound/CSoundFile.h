#pragma once

#include "foundation/IURI.h"

#include <sndfile.h>

#include <cstdint>

namespace nebo::sound {

// A sound file open for reading through libsndfile, read as interleaved
// signed 16-bit samples. Not counted: its owner holds it by value. Not
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

    // Reads up to `frames` frames into `samples`, which has room for them;
    // returns how many were read, 0 at the end.
    int64_t read(int16_t* samples, int64_t frames);
    // Makes `frame` the next one read.
    void seek(int64_t frame);

private:
    [[noreturn]] void fail(SNDFILE* file) const;

    lumo::String m_displayText;
    SF_INFO m_info{};
    SNDFILE* m_file = nullptr;
};

} // namespace nebo::sound
