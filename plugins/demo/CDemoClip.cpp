#include "plugins/demo/CDemoClip.h"

#include "foundation/CParseError.h"
#include "media/CAudioChunk.h"
#include "media/CNV12Picture.h"
#include "media/CRGBPicture.h"
#include "media/CYUY2Picture.h"
#include "media/CYV12Picture.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <map>
#include <string>
#include <string_view>

namespace nebo::demo {

using lumo::make;
using lumo::P;

namespace {

// Large enough for any real clip, small enough that no request can make
// the plugin ask for absurd amounts of memory.
constexpr int32_t maxSide = 8192;
constexpr int32_t maxFramesPerSecond = 1000;
constexpr int32_t maxFrameCount = 100000000;
constexpr int32_t maxSampleRate = 768000;
constexpr int32_t maxChannelCount = 64;
constexpr int32_t maxDelayMs = 600000;
constexpr size_t maxTitleBytes = 256;

std::optional<int32_t> parseWhole(std::string_view text, int32_t lowest, int32_t highest)
{
    int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < lowest || value > highest)
        return std::nullopt;
    return value;
}

std::optional<int32_t> parsePictureType(std::string_view text)
{
    static const std::map<std::string_view, int32_t> types = {{"rgb", common::rgbPictureType},
                                                              {"yuy2", common::yuy2PictureType},
                                                              {"nv12", common::nv12PictureType},
                                                              {"yv12", common::yv12PictureType}};
    const auto found = types.find(text);
    if (found == types.end())
        return std::nullopt;
    return found->second;
}

[[noreturn]] void refuseQuery(const std::string& reason) { throw lumo::CParseError(lumo::String::fromUTF8(reason)); }

// Sets one number of `clip` from a pair; false when the value is not
// valid. Throws CParseError for a key that names no number.
bool applyNumber(CDemoClip& clip, std::string_view key, std::string_view value)
{
    static const std::map<std::string_view, std::pair<int32_t CDemoClip::*, int32_t>> numbers = {
        {"w", {&CDemoClip::width, maxSide}},
        {"h", {&CDemoClip::height, maxSide}},
        {"fps", {&CDemoClip::framesPerSecond, maxFramesPerSecond}},
        {"frames", {&CDemoClip::frameCount, maxFrameCount}},
        {"rate", {&CDemoClip::sampleRate, maxSampleRate}},
        {"channels", {&CDemoClip::channelCount, maxChannelCount}}};
    const auto found = numbers.find(key);
    if (found == numbers.end())
        refuseQuery("unknown query key \"" + std::string(key) + "\"");
    const std::optional<int32_t> parsed = parseWhole(value, 1, found->second.second);
    if (parsed)
        clip.*found->second.first = *parsed;
    return parsed.has_value();
}

// Sets one field of `clip` from a pair; false when the value is not valid.
// Throws CParseError for an unknown key.
bool applyPair(CDemoClip& clip, std::string_view key, std::string_view value)
{
    if (key == "fmt") {
        const std::optional<int32_t> type = parsePictureType(value);
        clip.pictureType = type.value_or(clip.pictureType);
        return type.has_value();
    }
    if (key == "fail") {
        const std::optional<EDemoFault> fault = parseDemoFault(value);
        clip.fault = fault.value_or(clip.fault);
        return fault.has_value();
    }
    if (key == "failat") {
        clip.bFailAtOpen = value == "open";
        if (!clip.bFailAtOpen)
            clip.faultPicture = parseWhole(value, 0, maxFrameCount);
        return clip.bFailAtOpen || clip.faultPicture.has_value();
    }
    if (key == "title") {
        clip.title = std::string(value);
        return !value.empty() && value.size() <= maxTitleBytes;
    }
    if (key == "delay") {
        const std::optional<int32_t> delay = parseWhole(value, 0, maxDelayMs);
        clip.delayMs = delay.value_or(clip.delayMs);
        return delay.has_value();
    }
    return applyNumber(clip, key, value);
}

// A picture's block is shareable: a slave's master takes it without a copy.
P<lumo::IMemoryBlock> allocateBlock(const P<lumo::IMemoryManager>& memory, int64_t size, bool bPicture)
{
    const auto bytes = static_cast<int32_t>(size);
    P<lumo::IMemoryBlock> block = bPicture ? memory->allocateShareable(bytes) : memory->allocate(bytes);
    block->setSize(bytes);
    return block;
}

// Every pattern below repeats after 256 samples of a row, so a row is made
// by computing its first period and copying that forward, which renders a
// large picture at the speed of memcpy rather than pixel by pixel.
constexpr int32_t patternPeriod = 256;

// Repeats the first `period` bytes of `row` until it is `length` bytes long.
void repeatPeriod(uint8_t* row, int64_t period, int64_t length)
{
    for (int64_t done = std::min(period, length); done < length;) {
        const int64_t count = std::min(done, length - done);
        std::memcpy(row + done, row, static_cast<size_t>(count));
        done += count;
    }
}

int32_t firstPeriod(int32_t samples) { return std::min(samples, patternPeriod); }

// Rows repeat too, every 256 rows, so only that many are computed.
void fillRGB(uint8_t* pixels, int32_t width, int32_t height, int64_t n)
{
    const int64_t pitch = int64_t(width) * 4;
    uint8_t* row = pixels;
    for (int32_t y = 0; y < firstPeriod(height); ++y, row += pitch) {
        uint8_t* pixel = row;
        for (int32_t x = 0; x < firstPeriod(width); ++x, pixel += 4) {
            pixel[0] = static_cast<uint8_t>(x + n);
            pixel[1] = static_cast<uint8_t>(y + n);
            pixel[2] = static_cast<uint8_t>(x + y);
            pixel[3] = 255;
        }
        repeatPeriod(row, int64_t(patternPeriod) * 4, pitch);
    }
    repeatPeriod(pixels, patternPeriod * pitch, height * pitch);
}

// Row y of the luma is the byte sequence y + n, y + n + 1, ... so every row
// is a window on one ramp of two periods.
void fillLuma(uint8_t* plane, int32_t width, int32_t height, int64_t n)
{
    uint8_t ramp[2 * patternPeriod];
    for (int32_t i = 0; i < 2 * patternPeriod; ++i)
        ramp[i] = static_cast<uint8_t>(i);
    for (int32_t y = 0; y < height; ++y, plane += width) {
        std::memcpy(plane, ramp + static_cast<uint8_t>(y + n), static_cast<size_t>(firstPeriod(width)));
        repeatPeriod(plane, patternPeriod, width);
    }
}

uint8_t chromaU(int32_t cx, int64_t n) { return static_cast<uint8_t>(cx + n); }
uint8_t chromaV(int32_t cy) { return static_cast<uint8_t>(cy + 128); }

void fillYUY2(uint8_t* bytes, int32_t width, int32_t height, int64_t n)
{
    const int64_t rowBytes = int64_t(width / 2) * 4;
    for (int32_t y = 0; y < height; ++y, bytes += rowBytes) {
        uint8_t* pair = bytes;
        for (int32_t cx = 0; cx < firstPeriod(width / 2); ++cx, pair += 4) {
            pair[0] = static_cast<uint8_t>(2 * cx + y + n);
            pair[1] = chromaU(cx, n);
            pair[2] = static_cast<uint8_t>(2 * cx + 1 + y + n);
            pair[3] = chromaV(y);
        }
        repeatPeriod(bytes, int64_t(patternPeriod) * 4, rowBytes);
    }
}

void fillNV12(uint8_t* bytes, int32_t width, int32_t height, int64_t n)
{
    fillLuma(bytes, width, height, n);
    uint8_t* chroma = bytes + static_cast<int64_t>(width) * height;
    const int32_t pairs = width / 2;
    for (int32_t cy = 0; cy < height / 2; ++cy, chroma += 2 * pairs) {
        for (int32_t cx = 0; cx < firstPeriod(pairs); ++cx) {
            chroma[2 * cx] = chromaU(cx, n);
            chroma[2 * cx + 1] = chromaV(cy);
        }
        repeatPeriod(chroma, 2 * patternPeriod, 2 * pairs);
    }
}

void fillYV12(uint8_t* bytes, int32_t width, int32_t height, int64_t n)
{
    fillLuma(bytes, width, height, n);
    const int32_t chromaWidth = width / 2;
    const int64_t chromaSize = static_cast<int64_t>(chromaWidth) * (height / 2);
    uint8_t* v = bytes + static_cast<int64_t>(width) * height;
    uint8_t* u = v + chromaSize;
    for (int32_t cy = 0; cy < height / 2; ++cy, v += chromaWidth, u += chromaWidth) {
        std::memset(v, chromaV(cy), static_cast<size_t>(chromaWidth));
        for (int32_t cx = 0; cx < firstPeriod(chromaWidth); ++cx)
            u[cx] = chromaU(cx, n);
        repeatPeriod(u, patternPeriod, chromaWidth);
    }
}

template <class Picture> P<common::INEBPicture> makeOf(const P<lumo::IMemoryManager>& memory, double time, int64_t size,
                                                       int32_t width, int32_t height, int64_t n,
                                                       void (*fill)(uint8_t*, int32_t, int32_t, int64_t))
{
    P<lumo::IMemoryBlock> block = allocateBlock(memory, size, true);
    fill(block->getData(), width, height, n);
    return make<Picture>(memory, time, std::move(block), width, height, false);
}

// The smallest index whose time stamp is not below `seconds`, at most `end`.
int64_t firstIndexAt(double seconds, int64_t end, double (CDemoClip::*timeOf)(int64_t) const, const CDemoClip& clip)
{
    int64_t low = 0;
    int64_t high = end;
    while (low < high) {
        const int64_t middle = low + (high - low) / 2;
        if ((clip.*timeOf)(middle) < seconds)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

} // namespace

CDemoClip CDemoClip::fromQuery(const lumo::String& query)
{
    CDemoClip clip;
    const std::string text = query.toUTF8();
    std::string_view rest = text;
    while (!rest.empty()) {
        const std::string_view pair = rest.substr(0, rest.find('&'));
        rest.remove_prefix(std::min(rest.size(), pair.size() + 1));
        if (pair.empty())
            continue;
        // A key without "=" has an empty value, which no key accepts.
        const std::string_view key = pair.substr(0, pair.find('='));
        const std::string_view value = pair.substr(std::min(pair.size(), key.size() + 1));
        if (!applyPair(clip, key, value))
            refuseQuery("the value \"" + std::string(value) + "\" of \"" + std::string(key) + "\" is not valid");
    }
    // Chroma covers pairs of pixels, so the YUV layouts need even sizes.
    const bool bYUV = clip.pictureType != common::rgbPictureType;
    if (bYUV && (clip.width % 2 != 0 || clip.height % 2 != 0))
        refuseQuery("a YUV layout needs an even width and height, not " + std::to_string(clip.width) + "x" +
                    std::to_string(clip.height));
    return clip;
}

double CDemoClip::getDuration() const { return static_cast<double>(frameCount) / framesPerSecond; }
double CDemoClip::getPictureTime(int64_t index) const { return static_cast<double>(index) / framesPerSecond; }

double CDemoClip::getChunkTime(int64_t index) const { return static_cast<double>(index * framesPerChunk) / sampleRate; }

int64_t CDemoClip::getSoundFrameCount() const
{
    return static_cast<int64_t>(frameCount) * sampleRate / framesPerSecond;
}

bool CDemoClip::strikesAtPicture(int64_t index) const
{
    return !bFailAtOpen && (!faultPicture || index == *faultPicture);
}

bool CDemoClip::strikesAtChunk(int64_t index) const
{
    // Chunk k spans the times [k, k + 1) * framesPerChunk / sampleRate.
    return faultPicture && index == int64_t{*faultPicture} * sampleRate / (int64_t{framesPerSecond} * framesPerChunk);
}

int64_t CDemoClip::getFirstPictureAt(double seconds) const
{
    return firstIndexAt(seconds, frameCount, &CDemoClip::getPictureTime, *this);
}

int64_t CDemoClip::getFirstChunkAt(double seconds) const
{
    const int64_t chunkCount = (getSoundFrameCount() + framesPerChunk - 1) / framesPerChunk;
    return firstIndexAt(seconds, chunkCount, &CDemoClip::getChunkTime, *this);
}

P<common::INEBPicture> CDemoClip::makePicture(int64_t index, const P<lumo::IMemoryManager>& memory) const
{
    const double time = getPictureTime(index);
    const int64_t pixels = static_cast<int64_t>(width) * height;
    switch (pictureType) {
    case common::rgbPictureType:
        return makeOf<common::CRGBPicture>(memory, time, pixels * 4, width, height, index, fillRGB);
    case common::yuy2PictureType:
        return makeOf<common::CYUY2Picture>(memory, time, pixels * 2, width, height, index, fillYUY2);
    case common::nv12PictureType:
        return makeOf<common::CNV12Picture>(memory, time, pixels * 3 / 2, width, height, index, fillNV12);
    default:
        return makeOf<common::CYV12Picture>(memory, time, pixels * 3 / 2, width, height, index, fillYV12);
    }
}

P<audio::IAudioChunk> CDemoClip::makeChunk(int64_t index, const P<lumo::IMemoryManager>& memory) const
{
    const int64_t first = index * framesPerChunk;
    const int64_t frames = std::min<int64_t>(framesPerChunk, getSoundFrameCount() - first);
    if (frames <= 0)
        return nullptr;
    P<lumo::IMemoryBlock> block = allocateBlock(memory, frames * channelCount * bytesPerSample, false);
    uint8_t* bytes = block->getData();
    for (int64_t g = first; g < first + frames; ++g) {
        for (int32_t c = 0; c < channelCount; ++c) {
            const uint32_t sample = static_cast<uint32_t>(g * 64 + c * 4096) % 65536;
            *bytes++ = static_cast<uint8_t>(sample);
            *bytes++ = static_cast<uint8_t>(sample >> 8);
        }
    }
    return make<audio::CAudioChunk>(getChunkTime(index), std::move(block));
}

} // namespace nebo::demo
