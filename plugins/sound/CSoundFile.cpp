#include "plugins/sound/CSoundFile.h"

#include "foundation/CError.h"

#include <string>

namespace nebo::sound {

namespace {

ESampleDelivery deliveryOf(int format)
{
    switch (format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_24:
    case SF_FORMAT_ALAC_24:
    case SF_FORMAT_DWVW_24:
        return ESampleDelivery::s24;
    case SF_FORMAT_PCM_32:
    case SF_FORMAT_ALAC_32:
        return ESampleDelivery::s32;
    case SF_FORMAT_FLOAT:
    case SF_FORMAT_DOUBLE:
        return ESampleDelivery::f32;
    default:
        return ESampleDelivery::s16;
    }
}

} // namespace

CSoundFile::CSoundFile(const lumo::IURI& uri) : m_displayText(uri.getDisplayText())
{
    m_file = sf_open(uri.getNativePath().toUTF8().c_str(), SFM_READ, &m_info);
    if (!m_file)
        fail(nullptr);
    m_delivery = deliveryOf(m_info.format);
    // Float formats read as integers may hold samples beyond full scale;
    // they are cut off rather than wrapped around.
    sf_command(m_file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
}

CSoundFile::~CSoundFile() { sf_close(m_file); }

const char* CSoundFile::getText(int kind) const { return sf_get_string(m_file, kind); }

int32_t CSoundFile::getBytesPerSample() const
{
    switch (m_delivery) {
    case ESampleDelivery::s16:
        return 2;
    case ESampleDelivery::s24:
        return 3;
    case ESampleDelivery::s32:
    case ESampleDelivery::f32:
        return 4;
    }
    return 2;
}

int64_t CSoundFile::read(uint8_t* samples, int64_t frames)
{
    sf_count_t done = 0;
    switch (m_delivery) {
    case ESampleDelivery::s16:
        done = sf_readf_short(m_file, reinterpret_cast<int16_t*>(samples), frames);
        break;
    case ESampleDelivery::s24:
        done = readPacked24(samples, frames);
        break;
    case ESampleDelivery::s32:
        done = sf_readf_int(m_file, reinterpret_cast<int32_t*>(samples), frames);
        break;
    case ESampleDelivery::f32:
        done = sf_readf_float(m_file, reinterpret_cast<float*>(samples), frames);
        break;
    }
    // A short read is the end of the data unless the library says otherwise.
    if (done < frames && sf_error(m_file) != SF_ERR_NO_ERROR)
        fail(m_file);
    return done;
}

// The library hands 24-bit samples out in the upper bytes of 32-bit ones.
int64_t CSoundFile::readPacked24(uint8_t* samples, int64_t frames)
{
    m_wide.resize(static_cast<size_t>(frames) * static_cast<size_t>(m_info.channels));
    const sf_count_t done = sf_readf_int(m_file, m_wide.data(), frames);
    const size_t count = static_cast<size_t>(done) * static_cast<size_t>(m_info.channels);
    for (size_t i = 0; i < count; ++i) {
        const auto wide = static_cast<uint32_t>(m_wide[i]);
        samples[3 * i] = static_cast<uint8_t>(wide >> 8);
        samples[3 * i + 1] = static_cast<uint8_t>(wide >> 16);
        samples[3 * i + 2] = static_cast<uint8_t>(wide >> 24);
    }
    return done;
}

void CSoundFile::seek(int64_t frame)
{
    if (sf_seek(m_file, frame, SEEK_SET) < 0)
        fail(m_file);
}

void CSoundFile::fail(SNDFILE* file) const
{
    throw lumo::CError(m_displayText + lumo::String::fromUTF8(std::string(": ") + sf_strerror(file)),
                       lumo::String::fromUTF8("nebo_sound"));
}

} // namespace nebo::sound
