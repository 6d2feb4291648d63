#include "CExampleSource.h"

#include "foundation/CError.h"
#include "media/CRGBPicture.h"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <string>

namespace example {

using lumo::make;
using lumo::P;

namespace {

bool isColour(const std::string& text)
{
    return text.size() == 6 && text.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos;
}

} // namespace

CExampleSource::CExampleSource(const lumo::IURI& uri, P<lumo::IMemoryManager> memory)
    : m_uri(make<lumo::CURI>(uri.getText())), m_memory(std::move(memory))
{
}

bool CExampleSource::isOpened() { return m_bOpened; }

void CExampleSource::open()
{
    // The slave confines itself before the plugin sees the medium: this file
    // is the only one it may read now. The medium is untrusted, so every
    // number is checked before it sizes anything.
    std::ifstream file(m_uri->getNativePath().toUTF8());
    std::string colour;
    if (!(file >> m_width >> m_height >> m_pictureCount >> colour) || m_width < 1 || m_width > maxSide ||
        m_height < 1 || m_height > maxSide || m_pictureCount < 1 || m_pictureCount > maxPictures || !isColour(colour))
        throw lumo::CError(lumo::String::fromUTF8("not an example medium: " + m_uri->getDisplayText().toUTF8()));
    m_colour = static_cast<uint32_t>(std::strtoul(colour.c_str(), nullptr, 16));
    m_next = 0;
    m_bOpened = true;
}

void CExampleSource::close() { m_bOpened = false; }

void CExampleSource::skipToTime(double seconds)
{
    const double index = std::ceil(seconds * picturesPerSecond);
    m_next = index <= 0 ? 0 : index >= m_pictureCount ? m_pictureCount : static_cast<int32_t>(index);
}

double CExampleSource::getDuration() { return double(m_pictureCount) / picturesPerSecond; }
int32_t CExampleSource::getBufferStatus() { return 100; }
bool CExampleSource::isEOF() { return m_next >= m_pictureCount; }
void CExampleSource::setStartTime(double seconds) { m_startTime = seconds; }
double CExampleSource::getStartTime() { return m_startTime; }
P<lumo::CURI> CExampleSource::getURI() { return m_uri; }
lumo::String CExampleSource::getPluginName() { return lumo::String::fromUTF8("nebo_example"); }

void CExampleSource::setMaxSize(int32_t, int32_t) {}
int32_t CExampleSource::getWidth() { return m_width; }
int32_t CExampleSource::getHeight() { return m_height; }
double CExampleSource::peekNextPictureTimestamp() { return double(m_next) / picturesPerSecond; }

P<nebo::common::INEBPicture> CExampleSource::getNextPicture()
{
    if (isEOF())
        return nullptr;
    // 32-bit pixels, blue in the lowest byte, from the host's memory manager.
    const int32_t size = m_width * m_height * 4;
    // Shareable: a slave's master takes the picture's bytes without a copy.
    P<lumo::IMemoryBlock> block = m_memory->allocateShareable(size);
    block->setSize(size);
    uint8_t* pixel = block->getData();
    for (int32_t i = 0; i < m_width * m_height; ++i, pixel += 4) {
        pixel[0] = static_cast<uint8_t>(m_colour);
        pixel[1] = static_cast<uint8_t>(m_colour >> 8);
        pixel[2] = static_cast<uint8_t>(m_colour >> 16);
        pixel[3] = 255;
    }
    const double time = double(m_next++) / picturesPerSecond;
    return make<nebo::common::CRGBPicture>(m_memory, time, block, m_width, m_height, false);
}

int32_t CExampleSource::getPixelAspectNum() { return 1; }
int32_t CExampleSource::getPixelAspectDen() { return 1; }
double CExampleSource::getFrameDuration() { return 1.0 / picturesPerSecond; }
int32_t CExampleSource::getFrameRateNum() { return picturesPerSecond; }
int32_t CExampleSource::getFrameRateDen() { return 1; }

} // namespace example
