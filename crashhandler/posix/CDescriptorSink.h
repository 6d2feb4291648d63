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
    // False once the descriptor failed, or for a negative one.
    bool isWritable() const noexcept { return m_descriptor >= 0; }

private:
    int m_descriptor;
};

} // namespace crashhandler
