#pragma once

#include "crashhandler/SCrashRecord.h"
#include "crashhandler/posix/readMappings.h"

#include <ucontext.h>

namespace crashhandler {

// Records a thread that a signal interrupted, on Linux on x86-64: its
// registers from the signal's context and a copy of its stack, upwards
// from its pointer, of the memory the process's map says is readable. It
// fills a thread context it does not own and keeps the copy itself. No
// heap, no lock: for signal handlers. One thread at a time.
class CThreadRecorder final : public IMappingVisitor {
public:
    // How much of the stack, upwards from its pointer, the walk can see.
    static constexpr size_t stackCopySize = 64 * 1024;

    explicit CThreadRecorder(SThreadContext& context) noexcept : m_context(context) {}

    // Starts a record: the registers of `context`, no stack yet.
    void recordRegisters(const ucontext_t& context) noexcept;
    // Looks for the stack among the process's mappings, given in order.
    void visit(const SMapping& mapping) noexcept override;
    // Copies the stack found among the mappings into the record; an empty
    // copy when none held it.
    void copyStack() noexcept;

private:
    SThreadContext& m_context;
    uint64_t m_stackBegin = 0;
    uint64_t m_stackEnd = 0;
    uint8_t m_stackCopy[stackCopySize];
};

} // namespace crashhandler
