#pragma once

#include "crashhandler/SCrashRecord.h"

#include <windows.h>

namespace crashhandler {

// Records a thread of the own process whose stack holds still meanwhile (it
// faulted and waits, or it is suspended), on x86-64 or x86: its registers
// from a CONTEXT, a copy of its stack upwards from its pointer, as far as
// the memory there can be read, and the walk of its frames, by the unwind
// tables on x86-64 and by the 32-bit frame pointers on x86. It fills a
// thread context it does not own and keeps the copy itself. No heap; one
// thread at a time.
class CThreadRecorder {
public:
    // How much of the stack, upwards from its pointer, the walk can see.
    static constexpr size_t stackCopySize = 64 * 1024;

    explicit CThreadRecorder(SThreadContext& context) noexcept : m_context(context) {}
    CThreadRecorder(const CThreadRecorder&) = delete;
    CThreadRecorder& operator=(const CThreadRecorder&) = delete;

    void record(const CONTEXT& context) noexcept;

private:
    void recordRegisters(const CONTEXT& context);
    void copyStack(uint64_t stackPointer);
    void walkFrames(const CONTEXT& context);
    bool readWord(uint64_t address, uint64_t& word) const;

    SThreadContext& m_context;
    uint8_t m_stackCopy[stackCopySize];
};

} // namespace crashhandler
