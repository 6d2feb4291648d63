#pragma once

#include "foundation/CObject.h"
#include "host/plugin/IVideoSource.h"
#include "streams/IMemoryManager.h"

#include <cstdint>

namespace example {

// The pictures of one ".example" file. open() reads the file; every other
// call but close() expects an open source. One thread at a time, as every
// source.
class CExampleSource : public lumo::CObject, public virtual nebo::common::IVideoSource {
public:
    static constexpr int32_t picturesPerSecond = 10;
    // What a file may ask for; beyond it the file is refused, not believed.
    static constexpr int32_t maxSide = 4096;
    static constexpr int32_t maxPictures = 100000;

    CExampleSource(const lumo::IURI& uri, lumo::P<lumo::IMemoryManager> memory);

    bool isOpened() override;
    // Throws lumo::CError when the file cannot be read or says something
    // else than the one line it should.
    void open() override;
    void close() override;
    void skipToTime(double seconds) override;
    double getDuration() override;
    int32_t getBufferStatus() override;
    bool isEOF() override;
    void setStartTime(double seconds) override;
    double getStartTime() override;
    lumo::P<lumo::CURI> getURI() override;
    lumo::String getPluginName() override;

    // The pictures are of one colour: any size would do, so a limit is
    // ignored.
    void setMaxSize(int32_t nWidth, int32_t nHeight) override;
    int32_t getWidth() override;
    int32_t getHeight() override;
    double peekNextPictureTimestamp() override;
    // RGB pictures; null after the last.
    lumo::P<nebo::common::INEBPicture> getNextPicture() override;
    int32_t getPixelAspectNum() override;
    int32_t getPixelAspectDen() override;
    double getFrameDuration() override;
    int32_t getFrameRateNum() override;
    int32_t getFrameRateDen() override;

private:
    const lumo::P<lumo::CURI> m_uri;
    const lumo::P<lumo::IMemoryManager> m_memory;
    bool m_bOpened = false;
    int32_t m_width = 0;
    int32_t m_height = 0;
    int32_t m_pictureCount = 0;
    uint32_t m_colour = 0;
    int32_t m_next = 0;
    double m_startTime = 0.0;
};

} // namespace example
