#pragma once

// The bytes of the demo plugin's picture `n` in `layout` ("rgb", "yuy2", "nv12" or "yv12"), from its formulas, not its
// renderer: luma x + y + n, chroma U cx + n and V cy + 128; RGB blue x + n, green y + n, red x + y, alpha 255.
#include <cstdint>
#include <string>
#include <vector>

namespace nebo::test {

inline std::vector<uint8_t> demoPictureBytes(const std::string& layout, int w, int h, int n)
{
    std::vector<uint8_t> bytes;
    const auto put = [&bytes](std::initializer_list<int> values) {
        for (const int value : values)
            bytes.push_back(static_cast<uint8_t>(value));
    };
    if (layout == "rgb") {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                put({x + n, y + n, x + y, 255});
        return bytes;
    }
    if (layout == "yuy2") {
        for (int y = 0; y < h; ++y)
            for (int c = 0; c < w / 2; ++c)
                put({2 * c + y + n, c + n, 2 * c + 1 + y + n, y + 128});
        return bytes;
    }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            put({x + y + n});
    if (layout == "nv12") {
        for (int y = 0; y < h / 2; ++y)
            for (int c = 0; c < w / 2; ++c)
                put({c + n, y + 128});
        return bytes;
    }
    for (int plane = 0; plane < 2; ++plane)
        for (int y = 0; y < h / 2; ++y)
            for (int c = 0; c < w / 2; ++c)
                put({plane == 0 ? y + 128 : c + n});
    return bytes;
}

} // namespace nebo::test
