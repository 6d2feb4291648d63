#include "plugins/avlib/CLibraryLogForwarder.h"

#include <cstdarg>
#include <mutex>

extern "C" {
#include <libavutil/log.h>
}

namespace nebo::avlib {

namespace {

// The owner's log and the library's state between the pieces of a line,
// shared by every thread the library logs from.
std::mutex g_mutex;
const CLibraryLogForwarder* g_owner = nullptr;
common::ILogManager* g_log = nullptr;
int g_printPrefix = 1;

void forward(void* context, int level, const char* format, va_list arguments)
{
    const int32_t logLevel = CLibraryLogForwarder::logLevelOf(level);
    const std::lock_guard<std::mutex> lock(g_mutex);
    if (!g_log || logLevel > g_log->getLogLevel())
        return;
    char message[1024];
    av_log_format_line2(context, level, format, arguments, message, sizeof message, &g_printPrefix);
    const std::string line = CLibraryLogForwarder::toLogLine(message);
    if (line.empty())
        return;
    // Nothing may unwind through the library's frames: a message that
    // cannot be logged is lost.
    try {
        g_log->logText(logLevel, lumo::String::fromUTF8(line));
    } catch (...) {
    }
}

} // namespace

CLibraryLogForwarder::CLibraryLogForwarder(lumo::P<common::ILogManager> log) : m_log(std::move(log))
{
    const std::lock_guard<std::mutex> lock(g_mutex);
    g_owner = this;
    g_log = m_log.get();
    g_printPrefix = 1;
    av_log_set_level(m_log ? libraryLevelFor(m_log->getLogLevel()) : AV_LOG_QUIET);
    av_log_set_callback(&forward);
}

CLibraryLogForwarder::~CLibraryLogForwarder()
{
    const std::lock_guard<std::mutex> lock(g_mutex);
    if (g_owner != this)
        return;
    g_owner = nullptr;
    g_log = nullptr;
    av_log_set_level(AV_LOG_QUIET);
}

int32_t CLibraryLogForwarder::logLevelOf(int libraryLevel)
{
    // The bits above the level carry a colour.
    const int level = libraryLevel & 0xff;
    if (level <= AV_LOG_ERROR)
        return 0;
    if (level <= AV_LOG_WARNING)
        return 1;
    if (level <= AV_LOG_INFO)
        return 2;
    if (level <= AV_LOG_VERBOSE)
        return 3;
    return 4;
}

int CLibraryLogForwarder::libraryLevelFor(int32_t logLevel)
{
    static const int levels[] = {AV_LOG_ERROR, AV_LOG_WARNING, AV_LOG_INFO, AV_LOG_VERBOSE, AV_LOG_TRACE};
    if (logLevel < 0)
        return AV_LOG_QUIET;
    return levels[logLevel < 4 ? logLevel : 4];
}

std::string CLibraryLogForwarder::toLogLine(std::string_view message)
{
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r'))
        message.remove_suffix(1);
    std::string line(message);
    for (char& c : line)
        if ((static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7f)
            c = '?';
    return line;
}

} // namespace nebo::avlib
