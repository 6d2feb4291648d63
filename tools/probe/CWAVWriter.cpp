#include "tools/probe/CWAVWriter.h"

#include "foundation/CError.h"
#include "foundation/sync/throwSystemError.h"

#include <cerrno>
#include <cstring>
#include <limits>

namespace nebo::probe {

namespace {

constexpr uint32_t fmtChunkSize = 16;
constexpr uint16_t pcmFormatTag = 1;
// The RIFF size counts everything after its own field: "WAVE", the "fmt "
// chunk with its 8-byte head, and the head of the "data" chunk.
constexpr uint64_t riffOverhead = 4 + 8 + fmtChunkSize + 8;
constexpr uint64_t maxRIFFSize = std::numeric_limits<uint32_t>::max();

[[noreturn]] void refuseFormat(const std::string& reason)
{
    throw lumo::CError(lumo::String::fromUTF8("a WAV file cannot hold this sound: " + reason));
}

// RIFF chunks start at even offsets, so odd data is followed by a pad byte.
uint64_t padOf(uint64_t dataSize) { return dataSize % 2; }

bool fitsRIFF(uint64_t dataSize) { return dataSize <= maxRIFFSize - riffOverhead - padOf(dataSize); }

class CHeaderBuilder {
public:
    void text(const char (&fourCC)[5]) { put(fourCC, 4); }
    void u16(uint32_t value) { little(value, 2); }
    void u32(uint64_t value) { little(value, 4); }
    std::array<uint8_t, wavHeaderSize> take() const { return m_bytes; }

private:
    void put(const char* bytes, size_t size)
    {
        std::memcpy(m_bytes.data() + m_used, bytes, size);
        m_used += size;
    }
    void little(uint64_t value, size_t size)
    {
        for (size_t i = 0; i < size; ++i)
            m_bytes[m_used++] = static_cast<uint8_t>(value >> (8 * i));
    }

    std::array<uint8_t, wavHeaderSize> m_bytes{};
    size_t m_used = 0;
};

} // namespace

std::array<uint8_t, wavHeaderSize> makeWAVHeader(const SWAVFormat& format, uint64_t dataSize)
{
    if (format.sampleRate < 1)
        refuseFormat("the sample rate is " + std::to_string(format.sampleRate));
    if (format.channelCount < 1 || format.channelCount > std::numeric_limits<uint16_t>::max())
        refuseFormat("the channel count is " + std::to_string(format.channelCount));
    if (format.bitsPerSample < 8 || format.bitsPerSample > 32 || format.bitsPerSample % 8 != 0)
        refuseFormat("samples have " + std::to_string(format.bitsPerSample) + " bits");
    const uint64_t blockAlign = static_cast<uint64_t>(format.channelCount) * (format.bitsPerSample / 8);
    const uint64_t byteRate = blockAlign * static_cast<uint64_t>(format.sampleRate);
    if (blockAlign > std::numeric_limits<uint16_t>::max() || byteRate > std::numeric_limits<uint32_t>::max())
        refuseFormat("a second of it has " + std::to_string(byteRate) + " bytes");
    if (!fitsRIFF(dataSize))
        refuseFormat(std::to_string(dataSize) + " bytes are too many");

    CHeaderBuilder header;
    header.text("RIFF");
    header.u32(riffOverhead + dataSize + padOf(dataSize));
    header.text("WAVE");
    header.text("fmt ");
    header.u32(fmtChunkSize);
    header.u16(pcmFormatTag);
    header.u16(static_cast<uint32_t>(format.channelCount));
    header.u32(static_cast<uint64_t>(format.sampleRate));
    header.u32(byteRate);
    header.u16(static_cast<uint32_t>(blockAlign));
    header.u16(static_cast<uint32_t>(format.bitsPerSample));
    header.text("data");
    header.u32(dataSize);
    return header.take();
}

CWAVWriter::CWAVWriter(const std::string& path, const SWAVFormat& format) : m_path(path), m_format(format)
{
    const std::array<uint8_t, wavHeaderSize> header = makeWAVHeader(format, 0);
    m_file.reset(std::fopen(path.c_str(), "wb"));
    if (!m_file)
        fail("create");
    write(header.data(), header.size());
}

void CWAVWriter::append(const uint8_t* data, size_t size)
{
    if (size > maxRIFFSize || !fitsRIFF(m_dataSize + size))
        refuseFormat("it grows beyond " + std::to_string(m_dataSize) + " bytes");
    write(data, size);
    m_dataSize += size;
}

void CWAVWriter::finish()
{
    const std::array<uint8_t, wavHeaderSize> header = makeWAVHeader(m_format, m_dataSize);
    const uint8_t pad = 0;
    write(&pad, padOf(m_dataSize));
    if (std::fseek(m_file.get(), 0, SEEK_SET) != 0)
        fail("complete");
    write(header.data(), header.size());
    if (std::fclose(m_file.release()) != 0)
        fail("complete");
}

void CWAVWriter::write(const void* bytes, size_t size)
{
    if (!m_file)
        throw lumo::CError(lumo::String::fromUTF8("the WAV file " + m_path + " is already complete"));
    if (size > 0 && std::fwrite(bytes, size, 1, m_file.get()) != 1)
        fail("write");
}

void CWAVWriter::fail(const std::string& what) const
{
    const int code = errno;
    throw lumo::CError(lumo::String::fromUTF8("cannot " + what + " the WAV file " + m_path + ": ") +
                       lumo::getSystemErrorText(code));
}

} // namespace nebo::probe
