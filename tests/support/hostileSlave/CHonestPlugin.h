#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace lumo {
class IDataInStream;
class IDataOutStream;
} // namespace lumo

namespace nebo::test {

// The wire pieces that the lies share with the honest replies: a function's reply up to its result's value, an RGB
// picture's fields up to where its pixels are told, and the mark that ends an object.
void writeReplyHead(lumo::IDataOutStream& out);
void writePictureHead(lumo::IDataOutStream& out, double timestamp, int32_t width, int32_t height);
void writeObjectEnd(lumo::IDataOutStream& out);

// What an honest slave serves, request by request: the plugin "hostile" (types 3, the one extension "demo") until it
// made a source, then that source: 25 RGB pictures of the given size at 25 frames per second, and sound of 44,100 Hz,
// two channels of 16 bits, whose chunks nobody asks for. It serves the requests that the tests' masters make, reading
// each one's parameters and writing each reply exactly as the real plugin and source servers do; any other is not
// served. "Quit" is served in both phases and does nothing here: what it ends is the caller's business. One thread.
class CHonestPlugin {
public:
    // A source that announces one size and hands out pictures of another, or of the same.
    CHonestPlugin(int32_t announcedWidth, int32_t announcedHeight, int32_t pictureWidth, int32_t pictureHeight);

    // True when a request of that name is served now.
    bool serves(const std::string& name) const;
    // True for a served function (it gets a reply), false for a procedure.
    bool isFunction(const std::string& name) const;
    bool hasSource() const { return m_bSource; }

    // Reads the parameters after a served request's name; a procedure's work too. Throws the stream's errors.
    void takeRequest(const std::string& name, lumo::IDataInStream& in);
    // Does a served function's work and returns its whole reply: "return" and the result.
    std::string reply(const std::string& name);

    // The next picture as a shared buffer takes it: its RGB pixels and time stamp; false once every picture was served.
    bool takeNextPicture(std::vector<uint8_t>& pixels, double& timestamp);
    int32_t getPictureWidth() const { return m_pictureWidth; }
    int32_t getPictureHeight() const { return m_pictureHeight; }

private:
    struct SCall {
        // Reads the parameters; a procedure's work too. Empty without either.
        std::function<void(lumo::IDataInStream&)> take;
        // A function's work and its result variable; empty for a procedure.
        std::function<void(lumo::IDataOutStream&)> answer;
    };
    using CCalls = std::map<std::string, SCall>;

    CCalls pluginCalls();
    CCalls sourceCalls();
    const CCalls& currentCalls() const { return m_bSource ? m_sourceCalls : m_pluginCalls; }
    const SCall* find(const std::string& name) const;

    void readSourceRequest(lumo::IDataInStream& in);
    void writeSource(lumo::IDataOutStream& out);
    void writeNextPicture(lumo::IDataOutStream& out);

    const int32_t m_announcedWidth;
    const int32_t m_announcedHeight;
    const int32_t m_pictureWidth;
    const int32_t m_pictureHeight;
    bool m_bSource = false;
    int32_t m_requestedTypes = 0;
    bool m_bOpened = false;
    int32_t m_nextPicture = 0;
    const CCalls m_pluginCalls;
    const CCalls m_sourceCalls;
};

} // namespace nebo::test
