#include "plugins/demo/describeClip.h"

#include <numeric>

namespace nebo::demo {

namespace {

using lumo::String;

// The layout's name as the probe reports layouts, and its chroma sampling.
std::pair<const char*, const char*> describeLayout(int32_t pictureType)
{
    switch (pictureType) {
    case common::rgbPictureType:
        return {"rgb32", ""};
    case common::yuy2PictureType:
        return {"yuy2", "4:2:2"};
    case common::yv12PictureType:
        return {"yv12", "4:2:0"};
    default:
        return {"nv12", "4:2:0"};
    }
}

String describeChannels(int32_t count)
{
    if (count == 1)
        return String("mono");
    if (count == 2)
        return String("stereo");
    return String::fromUTF8(std::to_string(count) + " channels");
}

common::SPictureStreamFacts describePictures(const CDemoClip& clip)
{
    const auto [layout, chroma] = describeLayout(clip.pictureType);
    const int32_t divisor = std::gcd(clip.width, clip.height);
    common::SPictureStreamFacts pictures;
    pictures.codec = String("rawvideo");
    pictures.pixelFormat = String(layout);
    pictures.bitDepth = 8;
    pictures.chromaSubsampling = String(chroma);
    pictures.sampleAspect = {1, 1};
    pictures.displayAspect = {clip.width / divisor, clip.height / divisor};
    return pictures;
}

common::SSoundTrackFacts describeSound(const CDemoClip& clip)
{
    common::SSoundTrackFacts sound;
    sound.codec = String("pcm_s16le");
    sound.sampleFormat = String("s16");
    sound.bitsPerSample = CDemoClip::bytesPerSample * 8;
    sound.channelLayout = describeChannels(clip.channelCount);
    sound.bitRate = int64_t{clip.sampleRate} * clip.channelCount * sound.bitsPerSample;
    return sound;
}

} // namespace

common::SMediumFacts describeClip(const CDemoClip& clip)
{
    common::SMediumFacts facts;
    facts.container = String("demo");
    facts.containerDescription = String("synthetic clip");
    if (!clip.title.empty())
        facts.tags.emplace_back(String("title"), String::fromUTF8(clip.title));
    facts.pictureStreams.push_back(describePictures(clip));
    facts.soundTracks.push_back(describeSound(clip));
    return facts;
}

} // namespace nebo::demo
