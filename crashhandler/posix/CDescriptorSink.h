#pragma once

#include "crashhandler/IReportSink.h"

namespace crashhandler {

// Writes a report whole to an open file descriptor, waiting as long as the
// descriptor makes it wait; a negative descriptor, or one that fails, gets
// nothing more.
class CDescriptorSink final : public IReportSink {
public:
    explicit CDescriptorSink(int descriptor) noexcept : m_descriptor(descriptor) {}

    void write(const char* text, size_t length) noexcept override;

private:
    int m_descriptor;
};

} // namespace crashhandler
