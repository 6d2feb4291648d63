#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace nebo::probe {

// The sample format of PCM sound: interleaved integers, little-endian and
// signed but for unsigned 8-bit ones, or 32-bit floating point.
struct SWAVFormat {
    int32_t sampleRate;
    int32_t channelCount;
    int32_t bitsPerSample;
    bool bFloat = false;
};

// The RIFF header of a WAV file ahead of `dataSize` sample bytes; all
// numbers little-endian. Up to two channels of 8 or 16 bits have the plain
// PCM "fmt " chunk of 16 bytes, and 32-bit floats the float one with a
// "fact" chunk; more channels or more integer bits have the extensible
// "fmt " chunk, which states the valid bits and the speakers (mono and
// stereo, else none named), floats a "fact" chunk too. The header's size
// depends on the format only. Throws lumo::CError for a format that the
// header cannot describe (rate or channels below 1, integer bits not 8, 16,
// 24 or 32, float bits not 32, numbers beyond its fields) or for more data
// than its sizes can count.
std::vector<uint8_t> makeWAVHeader(const SWAVFormat& format, uint64_t dataSize);

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
