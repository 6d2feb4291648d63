#pragma once

#include "platform/CTempFolder.h"
#include "support/CScopedStandardStreams.h"

#include <optional>
#include <string>

namespace nebo::test {

// Catches what this process writes to its standard error, from construction until text(), in a file of its own.
class CStandardErrorCapture {
public:
    CStandardErrorCapture() : m_streams(std::in_place, std::string(), m_folder.pathOf(fileName)) {}

    // Ends the capture and returns what was caught.
    std::string text()
    {
        m_streams.reset();
        return m_folder.get(fileName);
    }

private:
    static constexpr const char* fileName = "stderr.txt";
    lumo::CTempFolder m_folder;
    std::optional<CScopedStandardStreams> m_streams;
};

} // namespace nebo::test
