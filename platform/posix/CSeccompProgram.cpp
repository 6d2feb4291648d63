#include "platform/posix/CSeccompProgram.h"

#include "platform/posix/CFileDescriptor.h"

#include <cerrno>
#include <cstring>
#include <linux/seccomp.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace lumo::posix {

namespace {

// Two process identities beyond any the kernel gives (at most 2^22): the
// filter is built with each, and the instructions that differ are the
// ones that compare with the identity.
constexpr pid_t firstStandIn = 0x3ffffff1;
constexpr pid_t secondStandIn = 0x3ffffff2;
// Far beyond a filter's size (the kernel takes at most 4096 instructions).
constexpr off_t maxProgramBytes = 1 << 20;

// The filter of `profile` built for `ownProcess`, exported as the kernel
// takes it; empty when that fails.
std::vector<sock_filter> exportFor(CSeccompFilter::EProfile profile, pid_t ownProcess)
{
    std::vector<std::string> gaps;
    const scmp_filter_ctx filter = CSeccompFilter::build(profile, ownProcess, gaps);
    if (!filter)
        return {};
    const CFileDescriptor memory(static_cast<int>(::syscall(SYS_memfd_create, "nebo_filter", MFD_CLOEXEC)));
    const bool bExported = gaps.empty() && memory.isValid() && seccomp_export_bpf(filter, memory.get()) == 0;
    seccomp_release(filter);
    const off_t size = bExported ? ::lseek(memory.get(), 0, SEEK_END) : -1;
    if (size <= 0 || size > maxProgramBytes || size % static_cast<off_t>(sizeof(sock_filter)) != 0)
        return {};
    std::vector<sock_filter> instructions(static_cast<size_t>(size) / sizeof(sock_filter));
    if (::pread(memory.get(), instructions.data(), static_cast<size_t>(size), 0) != size)
        return {};
    return instructions;
}

} // namespace

CSeccompProgram::CSeccompProgram(std::vector<sock_filter> instructions, std::vector<size_t> processSlots)
    : m_instructions(std::move(instructions)), m_processSlots(std::move(processSlots))
{
}

std::optional<CSeccompProgram> CSeccompProgram::build(CSeccompFilter::EProfile profile)
{
    const std::vector<sock_filter> first = exportFor(profile, firstStandIn);
    const std::vector<sock_filter> second = exportFor(profile, secondStandIn);
    if (first.empty() || first.size() != second.size())
        return std::nullopt;
    std::vector<size_t> slots;
    for (size_t i = 0; i < first.size(); ++i) {
        const bool bSame = std::memcmp(&first[i], &second[i], sizeof first[i]) == 0;
        if (bSame)
            continue;
        // Only the compared value may differ, and only as the identity does.
        const bool bProcessSlot = first[i].code == second[i].code && first[i].jt == second[i].jt &&
                                  first[i].jf == second[i].jf && first[i].k == static_cast<uint32_t>(firstStandIn) &&
                                  second[i].k == static_cast<uint32_t>(secondStandIn);
        if (!bProcessSlot)
            return std::nullopt;
        slots.push_back(i);
    }
    if (slots.empty())
        return std::nullopt;
    return CSeccompProgram(first, slots);
}

std::vector<std::string> CSeccompProgram::load(pid_t ownProcess) const
{
    std::vector<sock_filter> instructions = m_instructions;
    for (const size_t slot : m_processSlots)
        instructions[slot].k = static_cast<uint32_t>(ownProcess);
    const sock_fprog program{static_cast<unsigned short>(instructions.size()), instructions.data()};
    if (::syscall(SYS_seccomp, SECCOMP_SET_MODE_FILTER, SECCOMP_FILTER_FLAG_TSYNC, &program) != 0)
        return {std::string("the system call filter cannot be loaded: ") + std::strerror(errno)};
    return {};
}

} // namespace lumo::posix
