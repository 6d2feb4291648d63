#pragma once

// Which programs run on the machine, as /proc tells.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <thread>

namespace nebo::test {

// Whether the process's environment holds `entry` ("NAME=value").
inline bool environmentHolds(const std::filesystem::path& process, const std::string& entry)
{
    std::ifstream file(process / "environ", std::ios::binary);
    const std::string environment =
        std::string(1, '\0') + std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return environment.find(std::string(1, '\0') + entry + std::string(1, '\0')) != std::string::npos;
}

// True once no process runs `program` (a full path), wherever it moved in
// the tree; waits a little, as a kill takes effect soon, not at once. With
// a `marker`, only processes whose environment holds it count: those a
// test started, and what they started in turn, not those of tests running
// the same program beside it.
inline bool noProcessRuns(const std::string& program, const std::string& marker = std::string())
{
    for (int attempt = 0; attempt < 200; ++attempt) {
        bool bFound = false;
        for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
            std::error_code error;
            bFound = bFound || (std::filesystem::read_symlink(entry.path() / "exe", error) == program &&
                                (marker.empty() || environmentHolds(entry.path(), marker)));
        }
        if (!bFound)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

} // namespace nebo::test
