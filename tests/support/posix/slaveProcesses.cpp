#include "support/slaveProcesses.h"

#include "support/runProgram.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace nebo::test {

namespace {

// The state letter and the parent in /proc/<pid>/stat, after the name in parentheses; false when the process is gone.
bool readStat(const std::filesystem::path& process, std::string& state, pid_t& parent)
{
    std::ifstream stat(process / "stat");
    std::string line;
    if (!std::getline(stat, line) || line.rfind(')') == std::string::npos)
        return false;
    std::istringstream fields(line.substr(line.rfind(')') + 1));
    return static_cast<bool>(fields >> state >> parent);
}

// Whether the zero-separated list in `file` (an environment, a command line) holds `word`.
bool listHolds(const std::filesystem::path& file, const std::string& word)
{
    const std::string zero(1, '\0');
    return (zero + readWholeFile(file.string())).find(zero + word + zero) != std::string::npos;
}

// Whether process `pid` is a launcher: the slave program started with the launcher's mode argument.
bool isLauncher(uint32_t pid) { return listHolds("/proc/" + std::to_string(pid) + "/cmdline", "--launcher"); }

// Whether process `pid` is a launcher's spare, forked ahead of a request and no slave yet.
bool isSpare(uint32_t pid)
{
    std::ifstream file("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    return std::getline(file, name) && name == "nebo_spare";
}

// Every process there is, with its parent.
std::vector<std::pair<pid_t, pid_t>> processesWithParents()
{
    std::vector<std::pair<pid_t, pid_t>> processes;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string name = entry.path().filename().string();
        std::string state;
        pid_t parent = 0;
        if (std::isdigit(static_cast<unsigned char>(name[0])) && readStat(entry.path(), state, parent))
            processes.emplace_back(static_cast<pid_t>(std::stoul(name)), parent);
    }
    return processes;
}

std::vector<uint32_t> childrenOf(const std::vector<std::pair<pid_t, pid_t>>& processes, pid_t parent)
{
    std::vector<uint32_t> children;
    for (const auto& [pid, itsParent] : processes)
        if (itsParent == parent)
            children.push_back(static_cast<uint32_t>(pid));
    return children;
}

// This process's children, each launcher among them replaced by its children that are (`bSpares`) or are not spares;
// with `bSpares`, the children that are no launchers are left out.
std::vector<uint32_t> childrenOrLaunched(bool bSpares)
{
    const std::vector<std::pair<pid_t, pid_t>> processes = processesWithParents();
    std::vector<uint32_t> found;
    for (const uint32_t child : childrenOf(processes, getpid())) {
        if (!isLauncher(child)) {
            if (!bSpares)
                found.push_back(child);
            continue;
        }
        for (const uint32_t launched : childrenOf(processes, static_cast<pid_t>(child)))
            if (isSpare(launched) == bSpares)
                found.push_back(launched);
    }
    return found;
}

} // namespace

std::vector<uint32_t> slaveProcesses() { return childrenOrLaunched(false); }

std::vector<uint32_t> spareProcesses() { return childrenOrLaunched(true); }

std::vector<uint32_t> launcherProcesses()
{
    std::vector<uint32_t> launchers = childrenOf(processesWithParents(), getpid());
    launchers.erase(std::remove_if(launchers.begin(), launchers.end(), [](uint32_t pid) { return !isLauncher(pid); }),
                    launchers.end());
    return launchers;
}

bool killChild(uint32_t pid, std::string& cause)
{
    cause = "killed by signal 9 (SIGKILL)";
    if (::kill(static_cast<pid_t>(pid), SIGKILL) != 0)
        return false;
    // Ended once a zombie, or gone when its parent already waited for it.
    const std::filesystem::path process = "/proc/" + std::to_string(pid);
    for (int attempt = 0; attempt < 500; ++attempt) {
        std::string state;
        pid_t parent = 0;
        if (!readStat(process, state, parent) || state == "Z")
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

int countSharedPictureBuffers()
{
    std::ifstream maps("/proc/self/maps");
    int count = 0;
    for (std::string line; std::getline(maps, line);)
        count += line.find("memfd:nebo-shared") != std::string::npos ? 1 : 0;
    return count;
}

bool arePicturesShared() { return true; }

SFaultEnd writeFaultEnd() { return {128 + SIGSEGV, "killed by signal " + std::to_string(SIGSEGV) + " (SIGSEGV)"}; }

bool noProcessRuns(const std::string& program, const std::string& marker)
{
    for (int attempt = 0; attempt < 200; ++attempt) {
        bool bFound = false;
        for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
            std::error_code error;
            bFound = bFound || (std::filesystem::read_symlink(entry.path() / "exe", error) == program &&
                                (marker.empty() || listHolds(entry.path() / "environ", marker)));
        }
        if (!bFound)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

int64_t peakResidentKB()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stoll(line.substr(6));
    throw std::runtime_error("/proc/self/status tells no peak resident size");
}

} // namespace nebo::test
