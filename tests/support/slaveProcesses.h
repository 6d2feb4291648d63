#pragma once

// What tests of masters ask the system about the slaves this process started, how their ends look and what they cost
// the master; each backend answers in its own terms.
#include <cstdint>
#include <string>
#include <vector>

namespace nebo::test {

// The slaves of this process: its child processes, running ones and, where the system keeps them, ended ones not yet
// waited for; a launcher among them counts by its children instead, its spare not among them.
std::vector<uint32_t> slaveProcesses();
// The launchers among this process's children; none where the platform has no launchers.
std::vector<uint32_t> launcherProcesses();
// The spares of this process's launchers: children forked ahead of a request; none where the platform has no launchers.
std::vector<uint32_t> spareProcesses();

// Ends the child `pid` at once from outside, as a user's kill would, and waits until it has ended (false when it would
// not). `cause` gets how the process layer describes that end.
bool killChild(uint32_t pid, std::string& cause);

// How many shared picture buffers this process maps now, and whether masters get a shared picture channel at all.
int countSharedPictureBuffers();
bool arePicturesShared();

// How a slave ends whose plugin writes to address 16 (the demo's query "fail=write16") and leaves no report: the exit
// code, and the cause that the process layer gives.
struct SFaultEnd {
    int32_t exitCode;
    std::string cause;
};
SFaultEnd writeFaultEnd();

// True once no process runs `program` (a full path), wherever it moved in the tree; waits a little, as a kill takes
// effect soon, not at once. With a `marker` ("NAME=value"), only processes whose environment holds it count: those a
// test started, and what they started in turn, not those of tests running the same program beside it. Throws
// std::runtime_error where the system does not tell (Windows here).
bool noProcessRuns(const std::string& program, const std::string& marker = std::string());

// The most memory this process has held resident so far, in KiB; std::runtime_error when the system does not tell.
int64_t peakResidentKB();

} // namespace nebo::test
