#include "plugins/sound/CSoundFile.h"

#include "foundation/CError.h"

#include <string>

namespace nebo::sound {

CSoundFile::CSoundFile(const lumo::IURI& uri) : m_displayText(uri.getDisplayText())
{
    m_file = sf_open(uri.getNativePath().toUTF8().c_str(), SFM_READ, &m_info);
    if (!m_file)
        fail(nullptr);
    // Float formats may hold samples beyond full scale; they are cut off
    // rather than wrapped around.
    sf_command(m_file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
}

CSoundFile::~CSoundFile()
{
    sf_close(m_file);
}

int64_t CSoundFile::read(int16_t* samples, int64_t frames)
{
    const sf_count_t done = sf_readf_short(m_file, samples, frames);
    // A short read is the end of the data unless the library says otherwise.
    if (done < frames && sf_error(m_file) != SF_ERR_NO_ERROR)
        fail(m_file);
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
