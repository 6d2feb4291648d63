#pragma once

#include "crashhandler/IReportSink.h"

namespace crashhandler {

// Writes a report to up to two open file descriptors at once; a negative
// descriptor is passed over, and so is one that fails.
class CDescriptorSink final : public IReportSink {
public:
    CDescriptorSink(int first, int second) noexcept : m_descriptors{first, second} {}

    void write(const char* text, size_t length) noexcept override;

private:
    int m_descriptors[2];
};

} // namespace crashhandler
