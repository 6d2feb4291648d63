#include "processChild.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

// A program for the process tests, built for every platform, so that they
// need no shell. Its first word says what it does:
//   report WORD...  writes its current folder, its own path, its words, "--" and its
//                   environment, one a line, into "report.txt" beside itself; ends with the number of words
//   exit CODE       ends with CODE
//   sleep           ends after a minute, for tests that end it earlier
//   talk            writes "out" to standard output and "err" to standard error
//   hog MEGABYTES   touches that much memory, then ends
//   busy MS         spins for that long (processor time on some systems, clock time on others), then ends
namespace nebo::test {

namespace {

int report(const std::vector<std::string>& arguments, const std::vector<std::string>& environment)
{
    const std::filesystem::path self = std::filesystem::u8path(arguments.at(0));
    std::ofstream out(self.parent_path() / "report.txt", std::ios::binary);
    out << std::filesystem::current_path().u8string() << '\n' << arguments[0] << '\n';
    for (size_t i = 2; i < arguments.size(); ++i)
        out << arguments[i] << '\n';
    out << "--\n";
    for (const std::string& variable : environment)
        out << variable << '\n';
    return static_cast<int>(arguments.size() - 2);
}

int hog(long megabytes)
{
    std::vector<char> memory(static_cast<size_t>(megabytes) << 20);
    // Every page touched, so that it counts as held; volatile, so that the compiler keeps what nobody reads.
    volatile char* const bytes = memory.data();
    for (size_t i = 0; i < memory.size(); i += 4096)
        bytes[i] = 1;
    return 0;
}

int busy(long milliseconds)
{
    const std::clock_t end = std::clock() + static_cast<std::clock_t>(milliseconds * CLOCKS_PER_SEC / 1000);
    volatile unsigned long spin = 0;
    while (std::clock() < end)
        spin = spin + 1;
    return 0;
}

} // namespace

int runProcessChild(const std::vector<std::string>& arguments, const std::vector<std::string>& environment)
{
    const std::string command = arguments.size() > 1 ? arguments[1] : "";
    const long number = arguments.size() > 2 ? std::strtol(arguments[2].c_str(), nullptr, 10) : 0;
    if (command == "report")
        return report(arguments, environment);
    if (command == "exit")
        return static_cast<int>(number);
    if (command == "sleep")
        std::this_thread::sleep_for(std::chrono::minutes(1));
    else if (command == "talk")
        return std::printf("out\n") < 0 || std::fprintf(stderr, "err\n") < 0;
    else if (command == "hog")
        return hog(number);
    else if (command == "busy")
        return busy(number);
    else
        return 100;
    return 0;
}

} // namespace nebo::test
