#include "slave/CSlaveCommandLine.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <vector>

namespace nebo::common {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

std::vector<std::string_view> splitAtBlanks(std::string_view text)
{
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && isBlank(text[i]))
            ++i;
        const std::size_t start = i;
        while (i < text.size() && !isBlank(text[i]))
            ++i;
        if (i > start)
            words.push_back(text.substr(start, i - start));
    }
    return words;
}

std::optional<int> parseInt(std::string_view word)
{
    const std::string text(word);
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || end != text.c_str() + text.size() || value < INT_MIN || value > INT_MAX)
        return std::nullopt;
    return static_cast<int>(value);
}

std::optional<std::string> fitField(std::string_view word, std::size_t room)
{
    if (word.size() >= room)
        return std::nullopt;
    return std::string(word);
}

} // namespace

std::optional<CSlaveCommandLine> CSlaveCommandLine::parse(std::string_view commandLine)
{
    const std::vector<std::string_view> words = splitAtBlanks(commandLine);
    if (words.size() != 5)
        return std::nullopt;

    const std::optional<int> masterProcessId = parseInt(words[0]);
    std::optional<std::string> pipeName = fitField(words[1], pipeNameRoom);
    std::optional<std::string> pluginName = fitField(words[2], pluginNameRoom);
    std::optional<std::string> errorFileURI = fitField(words[3], errorFileRoom);
    const std::optional<int> logLevel = parseInt(words[4]);
    if (!masterProcessId || !pipeName || !pluginName || !errorFileURI || !logLevel)
        return std::nullopt;

    CSlaveCommandLine result;
    result.masterProcessId = *masterProcessId;
    result.pipeName = std::move(*pipeName);
    result.pluginName = std::move(*pluginName);
    result.errorFileURI = std::move(*errorFileURI);
    result.logLevel = std::clamp(*logLevel, minLogLevel, maxLogLevel);
    return result;
}

} // namespace nebo::common
