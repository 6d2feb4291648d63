#include "host/plugin/CAudioStreamInfos.h"

#include "streams/IDataInStream.h"
#include "streams/IDataOutStream.h"

namespace nebo::common {

CAudioStreamInfos::CAudioStreamInfos(std::vector<SAudioStreamInfo> streams) : m_streams(std::move(streams)) {}

void CAudioStreamInfos::write(lumo::IDataOutStream& out)
{
    out.writeInt32(static_cast<int32_t>(m_streams.size()));
    for (const SAudioStreamInfo& stream : m_streams) {
        out.writeInt32(stream.nIndex);
        out.writeString(*stream.codecName.get());
        out.writeString(*stream.language.get());
        out.writeInt32(stream.nChannels);
        out.writeInt32(stream.nSampleRate);
    }
}

bool CAudioStreamInfos::read(lumo::IDataInStream& in)
{
    const int32_t count = in.readItemCount();
    // Grown per stream: a claimed count reserves nothing.
    std::vector<SAudioStreamInfo> streams;
    for (int32_t i = 0; i < count; ++i) {
        SAudioStreamInfo stream;
        stream.nIndex = in.readInt32();
        stream.codecName = in.readString();
        stream.language = in.readString();
        stream.nChannels = in.readInt32();
        stream.nSampleRate = in.readInt32();
        streams.push_back(std::move(stream));
    }
    m_streams = std::move(streams);
    return true;
}

} // namespace nebo::common
