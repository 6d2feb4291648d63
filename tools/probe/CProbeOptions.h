#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace nebo::probe {

// A medium named on the command line: a local path, or a URI when it starts
// with a scheme; or with --recursive a folder whose files are all media.
struct SMediumArgument {
    std::string text;
    bool bFolder = false;

    bool operator==(const SMediumArgument& other) const { return text == other.text && bFolder == other.bFolder; }
};

// What one command line asks of the probe.
struct CProbeOptions {
    // The most media probed side by side.
    static constexpr int32_t maxJobs = 256;

    // In the order given.
    std::vector<SMediumArgument> media;
    // One JSON document per medium, a line each, in place of the facts.
    bool bJSON = false;
    // How many media are probed side by side; the number of processors when unset.
    std::optional<int32_t> jobs;
    // How many slaves per plugin are started ahead for a batch; see
    // choosePoolSize for the default.
    std::optional<int32_t> poolSize;
    // The one plugin to use; empty for every plugin beside the program.
    std::string pluginName;
    // Decoding stops after this many pictures.
    std::optional<int64_t> maxPictures;
    // Seconds: the picture at that time goes to thumbnailPath, a PNG or
    // JPEG file as its name says.
    std::optional<double> thumbnailTime;
    std::string thumbnailPath;
    // So many pictures spread over the medium go to sheetPath as one
    // picture file, a contact sheet.
    std::optional<int32_t> sheetCount;
    std::string sheetPath;
    // Where the sound goes as a WAV file; empty for nowhere.
    std::string audioPath;
    // The sound track decoded and written, by the number the plugin lists
    // it under; the plugin's choice when unset.
    std::optional<int32_t> audioTrack;
    // Whether an output file that exists already is replaced.
    bool bForce = false;
    bool bPrintLog = false;
    // Slaves' errors and crash reports whole rather than summarised.
    bool bVerbose = false;
    // How long any slave may take to answer; the context's default when unset.
    std::optional<int32_t> timeoutMs;
    // Whether a new slave goes on after one that failed while reading.
    bool bResume = true;
    bool bHelp = false;
    bool bVersion = false;
    // List the plugins instead of probing media.
    bool bListPlugins = false;

    // Reads the arguments that follow the program name. Options and media
    // come in any order; "--" ends the options. Throws CUsageError naming
    // the first fault: an unknown or repeated option (--recursive may come
    // again), a missing or malformed value, a value written into an option
    // that takes none, an empty medium, no medium, an output whose name
    // does not say a format written. With --help, --version or
    // --list-plugins no medium is required. A value may be written into its option
    // ("--name=value", "-jN").
    static CProbeOptions parse(const std::vector<std::string>& arguments);
};

// What --help prints: every option, what the program reports, and the
// `pluginFolders` searched, in order.
std::string getUsageText(const std::vector<std::string>& pluginFolders);
// What --version prints: the program's name and version, one line.
std::string getVersionText();

} // namespace nebo::probe
