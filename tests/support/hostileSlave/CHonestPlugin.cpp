#include "CHonestPlugin.h"

#include "remote/CRemoteException.h"
#include "streams/CDataOutStream.h"
#include "streams/CMemoryIOStream.h"
#include "streams/IDataInStream.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace nebo::test {

using lumo::IDataInStream;
using lumo::IDataOutStream;
using lumo::String;

namespace {

constexpr int32_t validTypes = 3; // pictures and sound
constexpr int32_t frameCount = 25;
constexpr int32_t framesPerSecond = 25;
constexpr int32_t rgbType = 1;
constexpr int32_t objectMarker = 123456;
constexpr int32_t sourceParamsSize = 16;

const String pluginName("hostile");
const String resultName("Result");

// The result variable's name; its value follows.
IDataOutStream& result(IDataOutStream& out)
{
    out.writeString(*resultName.get());
    return out;
}

// A named parameter's value; the name is the caller's business.
double readNamedDouble(IDataInStream& in)
{
    in.readString();
    return in.readDouble();
}

// A function's answer: the result variable's name, then the value that writeValue writes.
template <class Write> std::function<void(IDataOutStream&)> namedResult(Write writeValue)
{
    return [writeValue](IDataOutStream& out) { writeValue(result(out)); };
}

} // namespace

void writeReplyHead(IDataOutStream& out)
{
    out.writeString(*String("return").get());
    result(out);
}

void writePictureHead(IDataOutStream& out, double timestamp, int32_t width, int32_t height)
{
    out.writeInt32(rgbType);
    out.writeDouble(timestamp);
    out.writeInt32(width);
    out.writeInt32(height);
    out.writeBool(false);
}

void writeObjectEnd(IDataOutStream& out) { out.writeInt32(objectMarker); }

CHonestPlugin::CHonestPlugin(int32_t announcedWidth, int32_t announcedHeight, int32_t pictureWidth,
                             int32_t pictureHeight)
    : m_announcedWidth(announcedWidth), m_announcedHeight(announcedHeight), m_pictureWidth(pictureWidth),
      m_pictureHeight(pictureHeight), m_pluginCalls(pluginCalls()), m_sourceCalls(sourceCalls())
{
}

bool CHonestPlugin::serves(const std::string& name) const { return find(name) != nullptr; }

bool CHonestPlugin::isFunction(const std::string& name) const
{
    const SCall* call = find(name);
    return call && call->answer;
}

const CHonestPlugin::SCall* CHonestPlugin::find(const std::string& name) const
{
    const auto found = currentCalls().find(name);
    return found == currentCalls().end() ? nullptr : &found->second;
}

void CHonestPlugin::takeRequest(const std::string& name, IDataInStream& in)
{
    if (const SCall* call = find(name); call && call->take)
        call->take(in);
}

std::string CHonestPlugin::reply(const std::string& name)
{
    // Put together first: the reply leaves in one write, as real servers send, or in whatever pieces a lie wants.
    const lumo::P<lumo::CMemoryIOStream> memory = lumo::make<lumo::CMemoryIOStream>();
    lumo::CDataOutStream out(memory);
    out.writeString(*String("return").get());
    find(name)->answer(out);
    std::string bytes(static_cast<size_t>(memory->getSize()), '\0');
    memory->seek(0);
    memory->readFully(bytes.data(), static_cast<int32_t>(bytes.size()));
    return bytes;
}

CHonestPlugin::CCalls CHonestPlugin::pluginCalls()
{
    return {
        {"Quit", {}},
        {"getLog", {{}, namedResult([](IDataOutStream& out) { out.writeString(*String().get()); })}},
        {"getPluginName", {{}, namedResult([](IDataOutStream& out) { out.writeString(*pluginName.get()); })}},
        {"getValidExtensions",
         {[](IDataInStream& in) { in.readString(), in.readInt(); },
          [](IDataOutStream& out) {
              result(out).writeBool(false);
              out.writeInt(1);
              out.writeString(*String("demo").get());
              writeObjectEnd(out);
          }}},
        {"tryCreateSource",
         {[this](IDataInStream& in) { readSourceRequest(in); }, [this](IDataOutStream& out) { writeSource(out); }}},
    };
}

CHonestPlugin::CCalls CHonestPlugin::sourceCalls()
{
    const auto answerInt = [](int32_t value) {
        return namedResult([value](IDataOutStream& out) { out.writeInt(value); });
    };
    return {
        {"Quit", {}},
        {"getLog", m_pluginCalls.at("getLog")},
        {"getPluginName", m_pluginCalls.at("getPluginName")},
        {"isOpened", {{}, namedResult([this](IDataOutStream& out) { out.writeBool(m_bOpened); })}},
        {"open", {[this](IDataInStream&) { m_bOpened = true; }, {}}},
        {"close", {[this](IDataInStream&) { m_bOpened = false; }, {}}},
        {"setStartTime", {[](IDataInStream& in) { readNamedDouble(in); }, {}}},
        {"skipToTime",
         {[this](IDataInStream& in) {
              const double frame = std::clamp(readNamedDouble(in) * framesPerSecond, 0.0, double(frameCount));
              m_nextPicture = static_cast<int32_t>(std::lround(frame));
          },
          {}}},
        {"getDuration",
         {{}, namedResult([](IDataOutStream& out) { out.writeDouble(double(frameCount) / framesPerSecond); })}},
        {"getWidth", {{}, answerInt(m_announcedWidth)}},
        {"getHeight", {{}, answerInt(m_announcedHeight)}},
        {"getNextPicture", {{}, [this](IDataOutStream& out) { writeNextPicture(out); }}},
        {"isEOF", {{}, namedResult([this](IDataOutStream& out) { out.writeBool(m_nextPicture >= frameCount); })}},
        {"peekNextPictureTimestamp",
         {{}, namedResult([this](IDataOutStream& out) { out.writeDouble(double(m_nextPicture) / framesPerSecond); })}},
        {"getFrameRateNum", {{}, answerInt(framesPerSecond)}},
        {"getFrameRateDen", {{}, answerInt(1)}},
        {"getPixelAspectNum", {{}, answerInt(1)}},
        {"getPixelAspectDen", {{}, answerInt(1)}},
        // No list of sound streams: the one stream there is needs no choice.
        {"getAudioStreamInfos", {{}, namedResult([](IDataOutStream& out) { out.writeBool(true); })}},
        {"getSampleRate", {{}, answerInt(44100)}},
        {"getChannelCount", {{}, answerInt(2)}},
        {"getBytesPerSample", {{}, answerInt(2)}},
    };
}

void CHonestPlugin::readSourceRequest(IDataInStream& in)
{
    // "uri" carries no name: only its null flag and text.
    if (!in.readBool())
        in.readString();
    in.readString();
    m_requestedTypes = in.readInt();
    in.readString();
    in.readBool();
    // The parameter record: its size, then that many bytes.
    const uint32_t size = in.readUInt32();
    if (size != sourceParamsSize)
        throw lumo::CRemoteException(String("CRemoveVarStruct: size of struct is different"));
    uint8_t record[sourceParamsSize];
    in.readFully(record, sourceParamsSize);
}

void CHonestPlugin::writeSource(IDataOutStream& out)
{
    m_bSource = (m_requestedTypes & validTypes) != 0;
    // The source server crosses the pipe with an empty body.
    result(out).writeBool(!m_bSource);
    if (m_bSource)
        writeObjectEnd(out);
}

void CHonestPlugin::writeNextPicture(IDataOutStream& out)
{
    std::vector<uint8_t> pixels;
    double timestamp = 0.0;
    const bool bPicture = takeNextPicture(pixels, timestamp);
    result(out).writeBool(!bPicture);
    if (!bPicture)
        return;
    writePictureHead(out, timestamp, m_pictureWidth, m_pictureHeight);
    out.writeInt32(static_cast<int32_t>(pixels.size()));
    out.write(pixels.data(), static_cast<int32_t>(pixels.size()));
    writeObjectEnd(out);
}

bool CHonestPlugin::takeNextPicture(std::vector<uint8_t>& pixels, double& timestamp)
{
    if (m_nextPicture >= frameCount)
        return false;
    // Blue across, green down, red from picture to picture; opaque.
    pixels.assign(size_t(m_pictureWidth) * size_t(m_pictureHeight) * 4, 0xFF);
    for (size_t i = 0; i < pixels.size(); i += 4) {
        pixels[i] = uint8_t(i / 4 % size_t(m_pictureWidth) * 4);
        pixels[i + 1] = uint8_t(i / 4 / size_t(m_pictureWidth) * 5);
        pixels[i + 2] = uint8_t(m_nextPicture * 10);
    }
    timestamp = double(m_nextPicture++) / framesPerSecond;
    return true;
}

} // namespace nebo::test
