#pragma once

#include "media/mediaWire.h"

#include <string>

namespace nebo::common {

// What a slave answers a client, spelled out byte by byte.

inline Bytes wireText(const std::string& text)
{
    return wireInt32(int32_t(text.size())) + Bytes(text.begin(), text.end());
}

// A request without parameters.
inline Bytes request(const char* kind, const std::string& name)
{
    return wireText(kind) + wireText(name) + wireText("execute");
}

// A function's reply: "return", then the result named "Result".
inline Bytes reply(const Bytes& value) { return wireText("return") + wireText("Result") + value; }

// A present object: the null flag, the body, the marker.
inline Bytes present(const Bytes& body) { return Bytes{0} + body + wireInt32(123456); }

// A client's two memory streams: slave replies go into `input` beforehand, requests are read from `output`.
struct SSlavePipe {
    void feed(const Bytes& replies)
    {
        input->clear();
        input->write(replies.data(), int32_t(replies.size()));
        input->seek(0);
    }

    // What was sent since the last call.
    Bytes sent()
    {
        Bytes bytes(size_t(output->getSize()));
        output->seek(0);
        output->readFully(bytes.data(), int32_t(bytes.size()));
        output->clear();
        return bytes;
    }

    lumo::P<lumo::CMemoryIOStream> input = lumo::make<lumo::CMemoryIOStream>();
    lumo::P<lumo::CMemoryIOStream> output = lumo::make<lumo::CMemoryIOStream>();
};

} // namespace nebo::common
