#include "tools/probe/CWAVWriter.h"

#include "foundation/CError.h"
#include "foundation/sync/throwSystemError.h"

#include <cerrno>
#include <cstring>
#include <limits>

namespace nebo::probe {

namespace {

constexpr uint16_t pcmFormatTag = 1;
constexpr uint16_t floatFormatTag = 3;
constexpr uint16_t extensibleFormatTag = 0xFFFE;
// What the extensible chunk adds to the plain one: its own size field, the
// valid bits, the speaker mask and the 16-byte sub-format.
constexpr uint16_t extensionSize = 22;
constexpr uint32_t frontCentre = 0x4;
constexpr uint32_t frontLeftAndRight = 0x3;
// The sub-format's bytes after its first two, which repeat the format tag.
constexpr uint8_t subFormatTail[] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                     0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
constexpr uint64_t maxRIFFSize = std::numeric_limits<uint32_t>::max();

[[noreturn]] void refuseFormat(const std::string& reason)
{
    throw lumo::CError(lumo::String::fromUTF8("a WAV file cannot hold this sound: " + reason));
}

// Readers take the plain chunk as whole bytes of at most 16 bits and as
// front left and right at most: the rest needs the extensible one.
bool isExtensible(const SWAVFormat& format)
{
    return format.channelCount > 2 || (!format.bFloat && format.bitsPerSample > 16);
}

uint32_t fmtChunkSize(const SWAVFormat& format)
{
    return isExtensible(format) ? 18 + extensionSize : format.bFloat ? 18 : 16;
}

// Formats other than plain integers count their frames in a "fact" chunk.
bool hasFactChunk(const SWAVFormat& format) { return format.bFloat; }

// The RIFF size counts everything after its own field: "WAVE", the "fmt "
// chunk with its 8-byte head, the "fact" chunk and the head of the "data"
// chunk.
uint64_t riffOverhead(const SWAVFormat& format)
{
    return 4 + 8 + fmtChunkSize(format) + (hasFactChunk(format) ? 12 : 0) + 8;
}

// RIFF chunks start at even offsets, so odd data is followed by a pad byte.
uint64_t padOf(uint64_t dataSize) { return dataSize % 2; }

bool fitsRIFF(const SWAVFormat& format, uint64_t dataSize)
{
    return dataSize <= maxRIFFSize - riffOverhead(format) - padOf(dataSize);
}

class CHeaderBuilder {
public:
    void text(const char (&fourCC)[5]) { m_bytes.insert(m_bytes.end(), fourCC, fourCC + 4); }
    void bytes(const uint8_t* data, size_t size) { m_bytes.insert(m_bytes.end(), data, data + size); }
    void u16(uint32_t value) { little(value, 2); }
    void u32(uint64_t value) { little(value, 4); }
    std::vector<uint8_t> take() { return std::move(m_bytes); }

private:
    void little(uint64_t value, size_t size)
    {
        for (size_t i = 0; i < size; ++i)
            m_bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }

    std::vector<uint8_t> m_bytes;
};

void checkFormat(const SWAVFormat& format)
{
    if (format.sampleRate < 1)
        refuseFormat("the sample rate is " + std::to_string(format.sampleRate));
    if (format.channelCount < 1 || format.channelCount > std::numeric_limits<uint16_t>::max())
        refuseFormat("the channel count is " + std::to_string(format.channelCount));
    const bool bIntegerBits = format.bitsPerSample >= 8 && format.bitsPerSample <= 32 && format.bitsPerSample % 8 == 0;
    if (format.bFloat ? format.bitsPerSample != 32 : !bIntegerBits)
        refuseFormat("samples have " + std::to_string(format.bitsPerSample) + (format.bFloat ? " float" : "") +
                     " bits");
}

void putFmtChunk(CHeaderBuilder& header, const SWAVFormat& format, uint64_t blockAlign, uint64_t byteRate)
{
    const uint16_t sampleTag = format.bFloat ? floatFormatTag : pcmFormatTag;
    header.text("fmt ");
    header.u32(fmtChunkSize(format));
    header.u16(isExtensible(format) ? extensibleFormatTag : sampleTag);
    header.u16(static_cast<uint32_t>(format.channelCount));
    header.u32(static_cast<uint64_t>(format.sampleRate));
    header.u32(byteRate);
    header.u16(static_cast<uint32_t>(blockAlign));
    header.u16(static_cast<uint32_t>(format.bitsPerSample));
    if (isExtensible(format)) {
        header.u16(extensionSize);
        header.u16(static_cast<uint32_t>(format.bitsPerSample));
        header.u32(format.channelCount == 1 ? frontCentre : format.channelCount == 2 ? frontLeftAndRight : 0);
        header.u16(sampleTag);
        header.bytes(subFormatTail, sizeof subFormatTail);
    } else if (format.bFloat) {
        header.u16(0);
    }
}

} // namespace

std::vector<uint8_t> makeWAVHeader(const SWAVFormat& format, uint64_t dataSize)
{
    checkFormat(format);
    const uint64_t blockAlign = static_cast<uint64_t>(format.channelCount) * (format.bitsPerSample / 8);
    const uint64_t byteRate = blockAlign * static_cast<uint64_t>(format.sampleRate);
    if (blockAlign > std::numeric_limits<uint16_t>::max() || byteRate > std::numeric_limits<uint32_t>::max())
        refuseFormat("a second of it has " + std::to_string(byteRate) + " bytes");
    if (!fitsRIFF(format, dataSize))
        refuseFormat(std::to_string(dataSize) + " bytes are too many");

    CHeaderBuilder header;
    header.text("RIFF");
    header.u32(riffOverhead(format) + dataSize + padOf(dataSize));
    header.text("WAVE");
    putFmtChunk(header, format, blockAlign, byteRate);
    if (hasFactChunk(format)) {
        header.text("fact");
        header.u32(4);
        header.u32(dataSize / blockAlign);
    }
    header.text("data");
    header.u32(dataSize);
    return header.take();
}

CWAVWriter::CWAVWriter(const std::string& path, const SWAVFormat& format) : m_path(path), m_format(format)
{
    const std::vector<uint8_t> header = makeWAVHeader(format, 0);
    m_file.reset(std::fopen(path.c_str(), "wb"));
    if (!m_file)
        fail("create");
    write(header.data(), header.size());
}

void CWAVWriter::append(const uint8_t* data, size_t size)
{
    if (size > maxRIFFSize || !fitsRIFF(m_format, m_dataSize + size))
        refuseFormat("it grows beyond " + std::to_string(m_dataSize) + " bytes");
    write(data, size);
    m_dataSize += size;
}

void CWAVWriter::finish()
{
    const std::vector<uint8_t> header = makeWAVHeader(m_format, m_dataSize);
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
