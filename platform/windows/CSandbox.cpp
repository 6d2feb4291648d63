#include "platform/windows/CSandbox.h"

#include "foundation/sync/throwSystemError.h"

#include <algorithm>
#include <cstdint>

namespace lumo::win32 {

namespace {

// The line for a step of entering the job that failed: without the job
// none of its limits holds.
String describeJobFailure(const char* step)
{
    return String(step) + String(" failed (") + getSystemErrorText(static_cast<int>(GetLastError())) +
           String("): the plugin may start programs and use memory and the desktop freely");
}

// Closes the job's handle on every path; the job itself lives on while the
// process is in it.
class CHandle {
public:
    explicit CHandle(HANDLE handle) : m_handle(handle) {}
    ~CHandle()
    {
        if (m_handle)
            CloseHandle(m_handle);
    }
    CHandle(const CHandle&) = delete;
    CHandle& operator=(const CHandle&) = delete;

    HANDLE get() const { return m_handle; }

private:
    HANDLE m_handle;
};

} // namespace

void CSandbox::setLimits(const SLimits& limits) { m_limits = limits; }

std::vector<String> CSandbox::confineProcess()
{
    std::vector<String> gaps;
    const String jobGap = enterJob();
    if (jobGap->isEmpty())
        m_bInJob = true;
    else
        gaps.push_back(jobGap);
    if (m_limits.maxFileSize)
        gaps.push_back(String("the file size stays unlimited: Windows has no such limit"));
    if (m_limits.maxOpenFiles)
        gaps.push_back(String("the number of open files stays unlimited: Windows has no such limit"));
    gaps.push_back(String("files are not confined: the plugin may read and write every file of its user"));
    gaps.push_back(String("the network is not closed: the plugin may connect wherever its user may"));
    gaps.push_back(String("other processes are not shielded: the plugin may open those of its user"));
    return gaps;
}

std::vector<String> CSandbox::confineFiles()
{
    // confineProcess() said already that files stay open.
    return {};
}

std::vector<String> CSandbox::describeLayers() const
{
    if (!m_bInJob)
        return {String("no job object: the plugin runs with every right of its user")};
    return {String("a job object: no other program, committed memory capped, off the desktop's shared state")};
}

String CSandbox::enterJob() const
{
    const CHandle job(CreateJobObjectW(nullptr, nullptr));
    if (!job.get())
        return describeJobFailure("making a job object");

    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_ACTIVE_PROCESS;
    limits.BasicLimitInformation.ActiveProcessLimit = 1;
    if (m_limits.maxAddressSpace) {
        limits.BasicLimitInformation.LimitFlags |= JOB_OBJECT_LIMIT_PROCESS_MEMORY;
        // A 32-bit process cannot commit more than SIZE_T counts anyway.
        limits.ProcessMemoryLimit = static_cast<SIZE_T>(std::min<uint64_t>(m_limits.maxAddressSpace, SIZE_MAX));
    }
    if (!SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits))
        return describeJobFailure("limiting the job");

    JOBOBJECT_BASIC_UI_RESTRICTIONS restrictions{};
    restrictions.UIRestrictionsClass = JOB_OBJECT_UILIMIT_ALL;
    if (!SetInformationJobObject(job.get(), JobObjectBasicUIRestrictions, &restrictions, sizeof restrictions))
        return describeJobFailure("keeping the job off the desktop");

    if (!AssignProcessToJobObject(job.get(), GetCurrentProcess()))
        return describeJobFailure("entering the job");

    // Some systems take the limits without enforcing them (Wine keeps none):
    // asked back, so that the log does not claim what does not hold.
    const DWORD wanted = limits.BasicLimitInformation.LimitFlags;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION kept{};
    if (!QueryInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &kept, sizeof kept, nullptr) ||
        (kept.BasicLimitInformation.LimitFlags & wanted) != wanted)
        return String("the system did not keep the job's limits: the plugin may start programs and use memory freely");
    return String();
}

} // namespace lumo::win32

namespace lumo {

P<ISandbox> createSandbox() { return make<win32::CSandbox>(); }

} // namespace lumo
