#pragma once

// Sound files written and read with libsndfile itself, the yardstick for what nebo_sound hands out.
#include "host/plugin/IAudioSource.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace nebo::test {

struct SSound {
    int32_t rate = 44100, channels = 2;
    std::vector<int16_t> samples; // interleaved
    int64_t frames() const { return static_cast<int64_t>(samples.size()) / channels; }
};

// A tone of its own pitch per channel, so that swapped channels or frames show.
inline SSound makeTone(int32_t rate, int32_t channels, int64_t frames)
{
    SSound sound{rate, channels, {}};
    for (int64_t i = 0; i < frames; ++i)
        for (int32_t c = 0; c < channels; ++c)
            sound.samples.push_back(static_cast<int16_t>(
                std::lround(9000 * std::sin(2 * M_PI * (330.0 + 110.0 * c) * static_cast<double>(i) / rate))));
    return sound;
}

inline void writeSoundFile(const std::string& path, int format, const SSound& sound)
{
    SF_INFO info{0, sound.rate, sound.channels, format, 0, 0};
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_TRUE(file) << path << ": " << sf_strerror(nullptr);
    EXPECT_EQ(sf_writef_short(file, sound.samples.data(), sound.frames()), sound.frames());
    sf_close(file);
}

// What libsndfile reads from the file in nebo_sound's delivered form (32-bit ints or floats, 16-bit ints), as bytes.
inline std::vector<uint8_t> readAsDelivered(const std::string& path, int32_t bytesPerSample = 2, bool bFloat = false)
{
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) {
        ADD_FAILURE() << path << ": " << sf_strerror(nullptr);
        return {};
    }
    std::vector<uint8_t> bytes(static_cast<size_t>(info.frames * info.channels) * 4);
    if (bFloat)
        sf_readf_float(file, reinterpret_cast<float*>(bytes.data()), info.frames);
    else if (bytesPerSample == 2)
        bytes.resize(static_cast<size_t>(sf_readf_short(file, reinterpret_cast<int16_t*>(bytes.data()), info.frames) *
                                         info.channels * 2));
    else
        sf_readf_int(file, reinterpret_cast<int32_t*>(bytes.data()), info.frames);
    sf_close(file);
    return bytes;
}

// The chunks' bytes as they came, and as 16-bit samples when the source delivers those.
struct SChunkRead {
    std::vector<uint8_t> bytes;
    std::vector<int16_t> samples;
};

// Reads chunks to the end, expecting them to follow each other from `firstFrame` on, stamped with their first frame.
inline SChunkRead readChunks(common::IAudioSource& source, int64_t firstFrame = 0)
{
    SChunkRead read;
    const int32_t frameBytes = source.getChannelCount() * source.getBytesPerSample();
    int64_t frame = firstFrame;
    while (const lumo::P<audio::IAudioChunk> chunk = source.getNextAudioChunk()) {
        EXPECT_DOUBLE_EQ(chunk->getTimestamp(), static_cast<double>(frame) / source.getSampleRate());
        EXPECT_EQ(chunk->getDataSize() % frameBytes, 0);
        read.bytes.insert(read.bytes.end(), chunk->getData(), chunk->getData() + chunk->getDataSize());
        frame += chunk->getDataSize() / frameBytes;
    }
    EXPECT_TRUE(source.isEOF());
    if (source.getBytesPerSample() == 2) {
        read.samples.resize(read.bytes.size() / 2);
        std::memcpy(read.samples.data(), read.bytes.data(), read.samples.size() * 2);
    }
    return read;
}

} // namespace nebo::test
