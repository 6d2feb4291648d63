#pragma once

#include <filesystem>

namespace nebo::test {

// The folder the build puts its programs, libraries and plugins in: the one NEBO_BIN_DIR names (ctest sets it), else
// the one of the build the test was compiled in, so that a test program run by hand finds them too.
std::filesystem::path binFolder();

} // namespace nebo::test
