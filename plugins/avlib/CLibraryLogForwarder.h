#pragma once

#include "host/plugin/ILogManager.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace nebo::avlib {

// Sends the decoding library's own messages ("moov atom not found", ...)
// into a plugin's log instead of the console, which in a slave is the
// user's terminal. The library has one process-wide log callback, called
// from its own threads too; the forwarder made last owns it, and once that
// one is gone the messages are dropped: the library stays loaded for good,
// the plugins and their logs do not. Each message becomes one entry, at
// the level its severity maps to (see logLevelOf).
class CLibraryLogForwarder {
public:
    // Routes the library's messages into `log` from now on; a null log drops
    // them. The library's own level is set from the log's, so that it skips
    // formatting what the log would not keep.
    explicit CLibraryLogForwarder(lumo::P<common::ILogManager> log);
    // Drops the library's messages from now on, unless a later forwarder took
    // them over; a message being logged on another thread ends first.
    ~CLibraryLogForwarder();
    CLibraryLogForwarder(const CLibraryLogForwarder&) = delete;
    CLibraryLogForwarder& operator=(const CLibraryLogForwarder&) = delete;

    // The log level of a library level: panic, fatal and error 0 ("error"),
    // warning 1, info 2, verbose 3, debug and trace 4.
    static int32_t logLevelOf(int libraryLevel);
    // The most verbose library level that a log at `logLevel` keeps.
    static int libraryLevelFor(int32_t logLevel);
    // A formatted message as one log line: without its trailing line feeds,
    // and with every control character but tab turned into '?', which the
    // XML log could not hold.
    static std::string toLogLine(std::string_view message);

private:
    const lumo::P<common::ILogManager> m_log;
};

} // namespace nebo::avlib
