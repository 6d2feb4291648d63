#pragma once

#include <cstdint>

namespace lumo::posix {

// A launcher's report to its master on the control connection: one fixed
// record per message. The system attaches the sender's identity to each
// (the master's end has SO_PASSCRED), which is how the master tells a
// child's "started" from the launcher's own reports.
struct SWireReport {
    static constexpr uint32_t magicValue = 0x4c4e4252; // "RBNL"
    enum EKind : uint32_t { started = 1, ended = 2, failed = 3 };

    uint32_t magic = magicValue;
    uint32_t kind = 0;
    uint32_t number = 0;
    // ended: the exit code, or 0 when a signal ended the child.
    int32_t exitCode = 0;
    // ended: the signal that ended the child; failed: the error number.
    int32_t signal = 0;
    uint32_t reserved = 0;
    int64_t peakResidentBytes = 0;
    int64_t cpuTimeMs = 0;
};

static_assert(sizeof(SWireReport) == 40, "the report's size is part of the wire");

} // namespace lumo::posix
