#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace nebo::common {

// The five fields the master writes with " %d %s %s %s %d": its process id,
// the pipe name, the plugin name, the error file's URI and the log level.
struct CSlaveCommandLine {
    // Room of the text fields, terminator included.
    static constexpr std::size_t pipeNameRoom = 512;
    static constexpr std::size_t pluginNameRoom = 128;
    static constexpr std::size_t errorFileRoom = 1024;

    static constexpr int minLogLevel = 0;
    static constexpr int maxLogLevel = 4;

    int masterProcessId = 0;
    std::string pipeName;
    std::string pluginName;
    std::string errorFileURI;
    int logLevel = 0; // clamped to minLogLevel..maxLogLevel

    // Reads exactly five blank-separated fields. Anything else (fewer or more
    // fields, a number field that is not a whole decimal int, a text field
    // longer than its room) gives nothing: the slave refuses such a line
    // rather than cut a name the master meant in full.
    static std::optional<CSlaveCommandLine> parse(std::string_view commandLine);
};

} // namespace nebo::common
