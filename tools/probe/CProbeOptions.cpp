#include "tools/probe/CProbeOptions.h"

#include "host/common/CPluginFolders.h"
#include "host/master/CSlavePool.h"
#include "tools/probe/CContactSheet.h"
#include "tools/probe/CUsageError.h"
#include "tools/probe/writePicture.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <optional>
#include <set>

namespace nebo::probe {

namespace {

[[noreturn]] void refuse(const std::string& message) { throw CUsageError(lumo::String::fromUTF8(message)); }

// Hands out the arguments one by one, so that an option can take the
// value that follows it, or the one written into it ("--jobs=4", "-j4").
class CArgumentCursor {
public:
    explicit CArgumentCursor(const std::vector<std::string>& arguments) : m_arguments(arguments) {}

    bool atEnd() const { return m_next == m_arguments.size(); }
    const std::string& take() { return m_arguments[m_next++]; }
    // The option's name in `argument`; the value written into it is the
    // first takeValueOf gives.
    std::string beginOption(const std::string& argument)
    {
        const size_t equals = argument.find('=');
        if (argument.rfind("--", 0) == 0 && equals != std::string::npos) {
            m_written = argument.substr(equals + 1);
            return argument.substr(0, equals);
        }
        if (argument.rfind("-j", 0) == 0 && argument.size() > 2) {
            m_written = argument.substr(2);
            return "-j";
        }
        return argument;
    }
    const std::string& takeValueOf(const std::string& option)
    {
        if (m_written) {
            m_value = std::move(*m_written);
            m_written.reset();
        } else if (atEnd()) {
            refuse(option + " needs a value");
        } else {
            m_value = take();
        }
        if (m_value.empty())
            refuse(option + " needs a value, not an empty one");
        return m_value;
    }
    // Refuses a value written into an option that takes none.
    void endOption(const std::string& option)
    {
        if (m_written)
            refuse(option + " takes no value, but was given \"" + *m_written + "\"");
    }

private:
    const std::vector<std::string>& m_arguments;
    size_t m_next = 0;
    std::optional<std::string> m_written;
    std::string m_value;
};

int64_t parsePictureCount(const std::string& option, const std::string& text)
{
    int64_t count = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
    if (error != std::errc() || end != text.data() + text.size() || count < 1)
        refuse(option + " wants a whole number of pictures above 0, not \"" + text + "\"");
    return count;
}

double parseSeconds(const std::string& option, const std::string& text)
{
    double seconds = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(seconds) || seconds < 0.0)
        refuse(option + " wants a time in seconds, 0 or more, not \"" + text + "\"");
    return seconds;
}

int32_t parseJobs(const std::string& option, const std::string& text)
{
    int32_t jobs = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), jobs);
    if (error != std::errc() || end != text.data() + text.size() || jobs < 1 || jobs > CProbeOptions::maxJobs)
        refuse(option + " wants a whole number from 1 to " + std::to_string(CProbeOptions::maxJobs) + ", not \"" +
               text + "\"");
    return jobs;
}

int32_t parseTrack(const std::string& option, const std::string& text)
{
    int32_t track = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), track);
    if (error != std::errc() || end != text.data() + text.size() || track < 0)
        refuse(option + " wants a track's number, 0 or more, not \"" + text + "\"");
    return track;
}

int32_t parsePoolSize(const std::string& option, const std::string& text)
{
    constexpr int32_t most = common::CSlavePool::maxSlavesPerPlugin;
    int32_t size = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), size);
    if (error != std::errc() || end != text.data() + text.size() || size < 0 || size > most)
        refuse(option + " wants a whole number from 0 to " + std::to_string(most) + ", not \"" + text + "\"");
    return size;
}

int32_t parseSheetCount(const std::string& option, const std::string& text)
{
    constexpr int32_t most = CContactSheet::maxPictures;
    int32_t count = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
    if (error != std::errc() || end != text.data() + text.size() || count < 1 || count > most)
        refuse(option + " wants a number of pictures from 1 to " + std::to_string(most) + ", not \"" + text + "\"");
    return count;
}

const std::string& checkPictureName(const std::string& option, const std::string& path)
{
    if (!pictureFormatOf(path))
        refuse(option + " writes PNG and JPEG files: name the file " + pictureFileNames + ", not \"" + path + "\"");
    return path;
}

const std::string& checkSoundName(const std::string& option, const std::string& path)
{
    std::string extension = std::filesystem::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension != ".wav")
        refuse(option + " writes WAV files: name the file \"*.wav\", not \"" + path + "\"");
    return path;
}

// Whole milliseconds from 1 ms to a day.
int32_t parseTimeout(const std::string& option, const std::string& text)
{
    double seconds = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
    if (error != std::errc() || end != text.data() + text.size() || !(seconds >= 0.001 && seconds <= 86400.0))
        refuse(option + " wants a time in seconds from 0.001 to 86400, not \"" + text + "\"");
    return static_cast<int32_t>(std::lround(seconds * 1000.0));
}

void applyOption(CProbeOptions& options, const std::string& option, CArgumentCursor& cursor)
{
    if (option == "--help" || option == "-h")
        options.bHelp = true;
    else if (option == "--version")
        options.bVersion = true;
    else if (option == "--list-plugins")
        options.bListPlugins = true;
    else if (option == "--log")
        options.bPrintLog = true;
    else if (option == "--verbose")
        options.bVerbose = true;
    else if (option == "--timeout")
        options.timeoutMs = parseTimeout(option, cursor.takeValueOf(option));
    else if (option == "--no-resume")
        options.bResume = false;
    else if (option == "--plugin")
        options.pluginName = cursor.takeValueOf(option);
    else if (option == "--frames")
        options.maxPictures = parsePictureCount(option, cursor.takeValueOf(option));
    else if (option == "--thumbnail") {
        options.thumbnailTime = parseSeconds(option, cursor.takeValueOf(option));
        options.thumbnailPath = checkPictureName(option, cursor.takeValueOf(option));
    } else if (option == "--sheet") {
        options.sheetCount = parseSheetCount(option, cursor.takeValueOf(option));
        options.sheetPath = checkPictureName(option, cursor.takeValueOf(option));
    } else if (option == "--audio")
        options.audioPath = checkSoundName(option, cursor.takeValueOf(option));
    else if (option == "--audio-track")
        options.audioTrack = parseTrack(option, cursor.takeValueOf(option));
    else if (option == "--force")
        options.bForce = true;
    else if (option == "--json")
        options.bJSON = true;
    else if (option == "-j" || option == "--jobs")
        options.jobs = parseJobs(option, cursor.takeValueOf(option));
    else if (option == "--pool")
        options.poolSize = parsePoolSize(option, cursor.takeValueOf(option));
    else if (option == "--recursive")
        options.media.push_back({cursor.takeValueOf(option), true});
    else
        refuse("unknown option " + option);
}

} // namespace

CProbeOptions CProbeOptions::parse(const std::vector<std::string>& arguments)
{
    CProbeOptions options;
    std::set<std::string> seen;
    bool bOptionsEnded = false;
    CArgumentCursor cursor(arguments);
    while (!cursor.atEnd()) {
        const std::string& argument = cursor.take();
        if (bOptionsEnded || argument.size() < 2 || argument[0] != '-') {
            if (argument.empty())
                refuse("the medium's name is empty");
            options.media.push_back({argument, false});
        } else if (argument == "--") {
            bOptionsEnded = true;
        } else {
            const std::string option = cursor.beginOption(argument);
            if (option != "--recursive" && !seen.insert(option).second)
                refuse(option + " is given more than once");
            applyOption(options, option, cursor);
            cursor.endOption(option);
        }
    }
    if (!options.bHelp && !options.bVersion && !options.bListPlugins && options.media.empty())
        refuse("no medium given: name a file, a URI or a folder with --recursive");
    return options;
}

std::string getUsageText(const std::vector<std::string>& pluginFolders)
{
    std::string folders;
    for (const std::string& folder : pluginFolders)
        folders += "  " + folder + "\n";
    return "Usage: nebo_probe [options] MEDIUM...\n"
           "\n"
           "Opens each MEDIUM (a file path, or a URI such as \"file:///clip.demo?w=64\")\n"
           "with the plugins beside this program, each medium in slave processes of\n"
           "its own. Prints what it found as \"Key: value\" lines: the URI, the\n"
           "plugin, the duration, the picture size, the frame rate, the audio\n"
           "format and the pictures' layout; then decodes the pictures (the sound\n"
           "of a medium without pictures), with a progress bar when the error\n"
           "output is a terminal, and reports how many arrived and how many per\n"
           "second. A picture of another size than announced is reported.\n"
           "\n"
           "Options:\n"
           "  --plugin NAME         use only the plugin NAME (a library " +
           common::CPluginFolders::pluginFileName("NAME") +
           "\n"
           "                        in the plugin folders below)\n"
           "  --frames N            stop decoding after N pictures (N sound chunks\n"
           "                        for a medium without pictures); with\n"
           "                        --thumbnail or --sheet and no --frames, only\n"
           "                        their pictures are decoded, found by seeking\n"
           "  --thumbnail T OUT     write the picture shown at T seconds (the last\n"
           "                        one stamped T or earlier) to OUT, a PNG or\n"
           "                        JPEG file as its name says (.png, .jpg, .jpeg)\n"
           "  --sheet N OUT         write N pictures (1 to 100) spread evenly over\n"
           "                        the medium to OUT as one picture, each with its\n"
           "                        time under it; a PNG or JPEG file as above\n"
           "  --audio OUT           write the whole sound to OUT as a WAV file\n"
           "  --audio-track N       decode and write sound track N (as the facts\n"
           "                        list it) instead of the plugin's choice\n"
           "  --force               replace an output file that exists already\n"
           "  --list-plugins        list the plugins (with --plugin, that one): name,\n"
           "                        library, media and extensions, or why the\n"
           "                        plugin could not tell; as JSON with --json\n"
           "  --json                print one JSON document per medium, each on a\n"
           "                        line of its own, in place of the facts\n"
           "  --recursive FOLDER    probe every file below FOLDER, in name order\n"
           "  -j, --jobs N          probe up to N media side by side (default: the\n"
           "                        number of processors)\n"
           "  --pool N              keep N slaves per plugin started ahead while\n"
           "                        several media are probed, so that a medium\n"
           "                        need not wait for its slave to start (0 to\n"
           "                        16; default: the number of jobs, at most the\n"
           "                        media that wait for a job, at most 16)\n"
           "  --log                 print the log the plugins and slaves collected\n"
           "  --timeout SECONDS     end a slave that does not answer within SECONDS\n"
           "                        (default 10); the call then fails\n"
           "  --verbose             print a failing slave's error text or crash\n"
           "                        report whole, not only its summary\n"
           "  --no-resume           stop at a slave that fails while decoding; by\n"
           "                        default a new slave goes on after the picture\n"
           "                        that failed, up to 3 times\n"
           "  -h, --help            print this text\n"
           "  --version             print the program's version\n"
           "  --                    end of options: what follows are media\n"
           "\n"
           "An option's value may also be written into it: --jobs=4, -j4.\n"
           "\n"
           "Pictures are written with square pixels: a medium whose pixels are\n"
           "not square has its pictures widened or narrowed, their height kept.\n"
           "\n"
           "Before anything is decoded, each output is checked: its name says a\n"
           "format written (else the command line is refused), it is no file yet\n"
           "(unless --force), its folder exists and may be written, the\n"
           "thumbnail's time lies within the medium, the medium has pictures for\n"
           "--thumbnail and --sheet, a known duration for --sheet and sound for\n"
           "--audio. An output that fails while it is written does not stop the\n"
           "others. --thumbnail, --sheet and --audio take a single medium.\n"
           "\n"
           "At the end come the restarts (\"Restarts: N\") and, for each slave\n"
           "that served MEDIUM, its peak memory, processor time and how it ended.\n"
           "With several media, their reports follow each other in the order they\n"
           "were named, and a summary line closes the output: the media read and\n"
           "failed, the pictures decoded and the time taken.\n"
           "\n"
           "When no plugin can open MEDIUM, each plugin tried is listed with its\n"
           "reason. A slave that crashes is shown by a summary and the path of\n"
           "its whole report. Set NEBO_DEBUG_OUTPUT=stderr to see the slaves' own\n"
           "debug output on the error output.\n"
           "\n"
           "Exit status: 0 when every medium was read, also after restarts; 1 when\n"
           "a medium could not be opened or read or an output not written (a\n"
           "failing slave's error or crash report is printed); 2 for a command\n"
           "line that cannot be followed; 130 after Ctrl-C, which ends the slaves\n"
           "and reports every medium not finished as interrupted (a second Ctrl-C\n"
           "ends the probe at once).\n"
           "\n"
           "The plugin folders searched, in order (NEBO_PLUGIN_PATH adds folders):\n" +
           (folders.empty() ? std::string("  none\n") : folders);
}

std::string getVersionText() { return std::string("nebo_probe ") + NEBO_VERSION + "\n"; }

} // namespace nebo::probe
