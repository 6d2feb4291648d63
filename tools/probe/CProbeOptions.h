#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace nebo::probe {

// What one command line asks of the probe.
struct CProbeOptions {
    // The medium: a local path, or a URI when it starts with a scheme.
    std::string target;
    // The one plugin to use; empty for every plugin beside the program.
    std::string pluginName;
    // Decoding stops after this many pictures.
    std::optional<int64_t> maxPictures;
    // Seconds: the picture at that time goes to thumbnailPath as a PNG.
    std::optional<double> thumbnailTime;
    std::string thumbnailPath;
    // Where the sound goes as a WAV file; empty for nowhere.
    std::string audioPath;
    bool bPrintLog = false;
    // Slaves' errors and crash reports whole rather than summarised.
    bool bVerbose = false;
    // How long any slave may take to answer; the context's default when unset.
    std::optional<int32_t> timeoutMs;
    // Whether a new slave goes on after one that failed while reading.
    bool bResume = true;
    bool bHelp = false;

    // Reads the arguments that follow the program name. Options and the
    // target come in any order; "--" ends the options. Throws CUsageError
    // naming the first fault: an unknown or repeated option, a missing or
    // malformed value, no target or more than one. With --help nothing
    // else is required.
    static CProbeOptions parse(const std::vector<std::string>& arguments);
};

// What --help prints: every option and what the program reports.
std::string getUsageText();

} // namespace nebo::probe
