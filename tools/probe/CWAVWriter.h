#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace nebo::probe {

// The sample format of integer PCM sound.
struct SWAVFormat {
    int32_t sampleRate;
    int32_t channelCount;
    int32_t bitsPerSample;
};

constexpr size_t wavHeaderSize = 44;

// The RIFF header of a PCM WAV file (a 16-byte "fmt " chunk) ahead of
// `dataSize` sample bytes; all numbers little-endian. Throws lumo::CError
// for a format that the header cannot describe (rate or channels below 1,
// bits not 8, 16, 24 or 32, numbers beyond its fields) or for more data
// than its sizes can count.
std::array<uint8_t, wavHeaderSize> makeWAVHeader(const SWAVFormat& format, uint64_t dataSize);

// Writes sound to a WAV file as it arrives: the header's sizes are filled
// in by finish(). Not for use by more than one thread.
class CWAVWriter {
public:
    // Creates or empties the file. Throws lumo::CError naming the file when
    // it cannot be created or the format cannot be described.
    CWAVWriter(const std::string& path, const SWAVFormat& format);

    // Appends sample bytes as they are. Throws lumo::CError when the file
    // cannot take them or would grow beyond what a WAV file can count.
    void append(const uint8_t* data, size_t size);
    // Completes the header and closes the file; nothing may be appended
    // afterwards. Throws lumo::CError when the file cannot be completed. A
    // writer dropped without it leaves a file whose header counts no sound.
    void finish();
    uint64_t getDataSize() const { return m_dataSize; }

private:
    struct SFileCloser {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };

    void write(const void* bytes, size_t size);
    [[noreturn]] void fail(const std::string& what) const;

    const std::string m_path;
    const SWAVFormat m_format;
    std::unique_ptr<std::FILE, SFileCloser> m_file;
    uint64_t m_dataSize = 0;
};

} // namespace nebo::probe
