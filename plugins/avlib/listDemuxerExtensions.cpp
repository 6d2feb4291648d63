#include "plugins/avlib/listDemuxerExtensions.h"

extern "C" {
#include <libavformat/avformat.h>
}

#include <algorithm>
#include <cctype>
#include <sstream>

namespace nebo::avlib {

namespace {

const char* extensionsOf(const AVInputFormat& demuxer)
{
    if (demuxer.extensions && *demuxer.extensions)
        return demuxer.extensions;
    const AVOutputFormat* muxer = av_guess_format(demuxer.name, nullptr, nullptr);
    return muxer && muxer->extensions ? muxer->extensions : "";
}

void addExtensions(const char* list, std::vector<std::string>& extensions)
{
    std::istringstream items(list);
    for (std::string item; std::getline(items, item, ',');) {
        std::transform(item.begin(), item.end(), item.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (!item.empty() && std::find(extensions.begin(), extensions.end(), item) == extensions.end())
            extensions.push_back(item);
    }
}

std::vector<std::string> collectExtensions()
{
    std::vector<std::string> extensions;
    void* position = nullptr;
    while (const AVInputFormat* demuxer = av_demuxer_iterate(&position))
        addExtensions(extensionsOf(*demuxer), extensions);
    return extensions;
}

} // namespace

const std::vector<std::string>& listDemuxerExtensions()
{
    static const std::vector<std::string> extensions = collectExtensions();
    return extensions;
}

} // namespace nebo::avlib
