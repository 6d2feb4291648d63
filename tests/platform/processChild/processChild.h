#pragma once

#include <string>
#include <vector>

namespace nebo::test {

// Does what the UTF-8 words after the program path ask (see processChild.cpp); gives the exit code.
int runProcessChild(const std::vector<std::string>& arguments, const std::vector<std::string>& environment);

} // namespace nebo::test
