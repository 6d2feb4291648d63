#pragma once

#include <string>
#include <vector>

namespace nebo::test {

// Does what the words after the program path ask (see processChild.cpp) and
// gives the exit code. The texts are UTF-8; the backend's main collects them.
int runProcessChild(const std::vector<std::string>& arguments, const std::vector<std::string>& environment);

} // namespace nebo::test
