#pragma once

#include <string>

namespace lumo {

// How the platform's native file paths and "file" URIs map onto each other.
// Paths and names are UTF-8; URI parts are decoded.

// What a "file" URI holds of a native path.
struct SFileURIParts {
    std::string host;
    // Absolute, "/"-separated.
    std::string path;
};

// The parts of the "file" URI naming `nativePath`; a relative path is taken
// from the current folder. Throws CError when the path cannot be made
// absolute.
SFileURIParts toFileURIParts(const std::string& nativePath);

// The native path that a "file" URI's authority and absolute path name, in
// `nativePath`; false when they name no local file.
bool toNativeFilePath(const std::string& authority, const std::string& path, std::string& nativePath);

} // namespace lumo
