#include "host/master/summarizeSlaveError.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string_view>
#include <vector>

namespace nebo::common {

namespace {

constexpr size_t maxLineLength = 160;
constexpr size_t maxPlainLines = 4;
constexpr size_t maxFrames = 4;
const char* const binaryNote = "(bytes that are not text follow)";

const std::string_view fatalMarker = "Fatal Exception at ";
const std::string_view hangHeading = "Hang Report";
const std::string_view threadMarker = "Thread ";
const std::string_view servingMarker = ", serving the master's calls";
const std::string_view moduleListHeading = "Module Addresses:";
const std::string_view frameMarker = "Current Address: ";

struct SModule {
    std::string name;
    uint64_t start;
    uint64_t end;
};

std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
            line.pop_back();
        lines.push_back(std::move(line));
    }
    return lines;
}

bool startsWith(const std::string& line, std::string_view start) { return line.compare(0, start.size(), start) == 0; }

std::string shortened(std::string line)
{
    if (line.size() > maxLineLength)
        line = line.substr(0, maxLineLength) + "...";
    return line;
}

std::string trimmed(std::string_view text)
{
    const size_t first = text.find_first_not_of(' ');
    return first == std::string_view::npos ? std::string() : std::string(text.substr(first));
}

// "  name : start-end" lines after the heading, up to the first blank line.
std::vector<SModule> readModules(const std::vector<std::string>& lines)
{
    std::vector<SModule> modules;
    size_t i = 0;
    while (i < lines.size() && lines[i] != moduleListHeading)
        ++i;
    for (++i; i < lines.size() && !lines[i].empty(); ++i) {
        const size_t colon = lines[i].rfind(" : ");
        const size_t dash = lines[i].find('-', colon == std::string::npos ? 0 : colon);
        if (colon == std::string::npos || dash == std::string::npos)
            continue;
        const std::string range = lines[i].substr(colon + 3);
        modules.push_back({trimmed(lines[i].substr(0, colon)), std::strtoull(range.c_str(), nullptr, 16),
                           std::strtoull(lines[i].c_str() + dash + 1, nullptr, 16)});
    }
    return modules;
}

const SModule* findModule(const std::string& address, const std::vector<SModule>& modules)
{
    const uint64_t value = std::strtoull(address.c_str(), nullptr, 16);
    for (const SModule& module : modules)
        if (value >= module.start && value < module.end)
            return &module;
    return nullptr;
}

// The non-empty line after `from`, or "".
std::string nextText(const std::vector<std::string>& lines, size_t& from)
{
    while (++from < lines.size())
        if (!lines[from].empty())
            return lines[from];
    return {};
}

// The stack walk between `begin` and `end` as "0x... (module), ...": the
// innermost frame of each module, so that a thread waiting deep in the
// system's libraries still shows the plugin that waits; a frame outside
// every module stands for itself. Empty when there are none.
std::string describeFrames(const std::vector<std::string>& lines, size_t begin, size_t end)
{
    const std::vector<SModule> modules = readModules(lines);
    std::vector<std::string> shownModules;
    std::string frames;
    for (size_t i = begin; i < end; ++i) {
        if (!startsWith(lines[i], frameMarker))
            continue;
        const std::string address = lines[i].substr(frameMarker.size(), 16);
        const SModule* module = findModule(address, modules);
        if (module && std::find(shownModules.begin(), shownModules.end(), module->name) != shownModules.end())
            continue;
        if (shownModules.size() == maxFrames) {
            frames += ", ...";
            break;
        }
        shownModules.push_back(module ? module->name : address);
        frames += (frames.empty() ? "0x" : ", 0x") + address + (module ? " (" + module->name + ")" : "");
    }
    return frames;
}

std::string summarizeCrash(const std::vector<std::string>& lines, size_t fatalLine)
{
    std::string fatal = lines[fatalLine];
    if (!fatal.empty() && fatal.back() == ':')
        fatal.pop_back();
    std::string summary = shortened(fatal);
    const auto add = [&summary](const std::string& line) {
        if (!line.empty())
            summary += "\n" + shortened(line);
    };
    size_t next = fatalLine;
    add(nextText(lines, next));
    if (nextText(lines, next) == "Additional Information:")
        add(nextText(lines, next));

    const std::string frames = describeFrames(lines, fatalLine, lines.size());
    if (!frames.empty())
        summary += "\nFrames: " + frames;
    return summary;
}

// Only the serving thread's frames: the other threads merely wait for it,
// or have nothing to do with the call.
std::string summarizeHang(const std::vector<std::string>& lines, size_t headingLine)
{
    const std::string summary(hangHeading);
    size_t serving = headingLine + 1;
    while (serving < lines.size() &&
           !(startsWith(lines[serving], threadMarker) && lines[serving].find(servingMarker) != std::string::npos))
        ++serving;
    if (serving == lines.size())
        return summary;
    size_t end = serving + 1;
    while (end < lines.size() && !startsWith(lines[end], threadMarker))
        ++end;
    const std::string frames = describeFrames(lines, serving, end);
    // Without frames, its heading says why (it did not answer).
    return summary + "\n" + (frames.empty() ? shortened(lines[serving]) : "Frames: " + frames);
}

// Blank, or nothing but zeros (of a file grown past its text).
bool saysNothing(const std::string& line)
{
    return std::all_of(line.begin(), line.end(),
                       [](char c) { return c == '\0' || std::isspace(static_cast<unsigned char>(c)); });
}

// More than one byte in eight that no text holds: a line of bytes shown as
// escapes would say nothing to a person.
bool looksBinary(const std::string& line)
{
    const auto isOdd = [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return (byte < ' ' && byte != '\t') || byte == 0x7f;
    };
    return size_t(std::count_if(line.begin(), line.end(), isOdd)) * 8 > line.size();
}

std::string summarizePlain(const std::vector<std::string>& lines)
{
    std::string summary;
    size_t taken = 0;
    for (const std::string& line : lines) {
        if (saysNothing(line))
            continue;
        if (looksBinary(line)) {
            summary += std::string(summary.empty() ? "" : "\n") + binaryNote;
            break;
        }
        if (taken++ == maxPlainLines) {
            summary += "\n...";
            break;
        }
        summary += (summary.empty() ? "" : "\n") + shortened(line);
    }
    return summary;
}

} // namespace

std::string summarizeSlaveError(const std::string& text)
{
    const std::vector<std::string> lines = splitLines(text);
    for (size_t i = 0; i < lines.size(); ++i) {
        if (startsWith(lines[i], fatalMarker))
            return summarizeCrash(lines, i);
        if (lines[i] == hangHeading)
            return summarizeHang(lines, i);
    }
    return summarizePlain(lines);
}

} // namespace nebo::common
