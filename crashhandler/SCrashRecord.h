#pragma once

#include <cstddef>
#include <cstdint>

namespace crashhandler {

// Which register sections a record holds (bits of SThreadContext::sections).
enum ERegisterSection : uint32_t {
    sectionControl = 0x01,
    sectionInteger = 0x02,
    sectionSegments = 0x04,
    sectionFloatingPoint = 0x08,
    sectionDebug = 0x10,
    sectionExtended = 0x20,
};

struct SDebugRegisters {
    uint64_t dr0, dr1, dr2, dr3, dr6, dr7;
};

struct SFloatingPointState {
    uint64_t control, status, tag, errorOffset, dataOffset, dataSelector;
    // The first eight bytes of each ten-byte register, read as a double.
    double registers[8];
    uint64_t cr0NpxState;
};

struct SSegmentRegisters {
    uint64_t gs, fs, es, ds;
};

struct SIntegerRegisters {
    uint64_t rax, rbx, rcx, rdx, rdi, rsi, r8, r9, r10, r11, r12, r13, r14, r15;
};

struct SControlRegisters {
    uint64_t rbp, rip, rsp, cs, ss, flags;
};

struct SModule {
    char name[128];
    uint64_t base;
    uint64_t size;
};

// A copy of memory that was readable when the record was made; whatever
// lies outside counts as unreadable.
struct SMemoryCopy {
    uint64_t address = 0;
    const uint8_t* bytes = nullptr;
    size_t size = 0;

    bool contains(uint64_t first, size_t count) const
    {
        return first >= address && first - address <= size && size - (first - address) >= count;
    }
};

// One step of a stack walk that the platform made itself, from its unwind
// tables or with the word size of its frames: the code address the step is
// at, and the stack range [begin, end) its frame takes.
struct SStackFrame {
    uint64_t address;
    uint64_t begin;
    uint64_t end;
};

// One thread's registers and a copy of its stack, as a report shows them.
// Plain data, so that it can be filled without the heap.
struct SThreadContext {
    uint32_t sections = 0;
    SDebugRegisters debug = {};
    SFloatingPointState floatingPoint = {};
    SSegmentRegisters segments = {};
    SIntegerRegisters integer = {};
    SControlRegisters control = {};
    uint8_t extended[512] = {};

    // The stack from its pointer upwards; frames are walked inside it.
    SMemoryCopy stack;

    // The walk of a platform whose frames do not chain through 64-bit frame
    // pointers; without one, the report follows the frame pointers itself.
    static constexpr size_t maxFrames = 32;
    size_t frameCount = 0;
    SStackFrame frames[maxFrames] = {};
};

// The loaded modules of a process.
struct SModuleList {
    static constexpr size_t maxModules = 256;

    size_t moduleCount = 0;
    SModule modules[maxModules] = {};
};

// What a crash report is made of, whatever the platform: the exception,
// the faulting thread's registers and a copy of its stack, and the loaded
// modules.
struct SCrashRecord : SThreadContext, SModuleList {
    static constexpr size_t maxParameters = 15;

    uint32_t code = 0;
    uint32_t flags = 0;
    uint64_t address = 0;
    size_t parameterCount = 0;
    uint64_t parameters[maxParameters] = {};
    // The name of a forbiddenSystemCall's call, a text of static storage;
    // null when the platform does not know it.
    const char* systemCallName = nullptr;
};

} // namespace crashhandler
