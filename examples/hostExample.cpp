// A host program: opens a medium through plugins that each run boxed in a
// slave process of their own, reads its first pictures as RGB, and copes
// with a plugin that fails.
//
//   nebo_host_example [--resume] [--pictures N] MEDIUM
//
// MEDIUM is a URI or a local path. Try, from the build folder:
//
//   bin/nebo_host_example 'file:///clips/a.demo?w=64&h=48'
//   bin/nebo_host_example 'file:///clips/a.demo?fail=write16&failat=2'           # picture 2 crashes its slave
//   bin/nebo_host_example --resume 'file:///clips/a.demo?fail=write16&failat=2'  # a new slave reads on after it
//   echo 64 48 10 ff8000 >orange.example
//   NEBO_PLUGIN_PATH=bin/examples bin/nebo_host_example orange.example           # through our own plugin
//
// Exit status: 0 when the pictures were read, 1 when opening or reading
// failed, 2 for a command line it does not understand.
#include "foundation/CException.h"
#include "foundation/castObject.h"
#include "foundation/escapeControlCharacters.h"
#include "host/CPluginHandler.h"
#include "host/common/CLogManager.h"
#include "host/common/CSimpleNEBContext.h"
#include "host/master/CSlaveError.h"
#include "host/master/IBoxedSource.h"
#include "host/master/describeSlaveEnd.h"
#include "host/plugin/IVideoSource.h"

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace {

using lumo::make;
using lumo::P;
using lumo::String;
using namespace nebo::common;

struct SArguments {
    bool bResume = false;
    long pictures = 10;
    std::string medium;
};

std::optional<SArguments> parseArguments(int argc, char** argv)
{
    SArguments arguments;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--resume") {
            arguments.bResume = true;
        } else if (argument == "--pictures" && i + 1 < argc) {
            char* end = nullptr;
            arguments.pictures = std::strtol(argv[++i], &end, 10);
            if (*end != '\0' || arguments.pictures < 1)
                return std::nullopt;
        } else if (arguments.medium.empty() && argument.rfind("--", 0) != 0) {
            arguments.medium = argument;
        } else {
            return std::nullopt;
        }
    }
    if (arguments.medium.empty())
        return std::nullopt;
    return arguments;
}

P<lumo::CURI> toURI(const std::string& medium)
{
    if (medium.find("://") != std::string::npos)
        return make<lumo::CURI>(String::fromUTF8(medium));
    return lumo::CURI::fromNativePath(String::fromUTF8(medium));
}

// Whatever a slave sends may be of the plugin's choosing, error texts too:
// escaped before it reaches a terminal.
std::string shown(const String& text) { return lumo::escapeControlCharacters(text.toUTF8(), "  "); }

// A slave's crash by its summary (exception, address, module, first frames)
// and the file that keeps the whole report; any other error by its text.
std::string describe(const lumo::CException& error)
{
    const auto* slaveError = dynamic_cast<const CSlaveError*>(&error);
    if (!slaveError || slaveError->getSummary().isEmpty())
        return shown(error.getDescription());
    std::string text = shown(slaveError->getSummary());
    if (!slaveError->getErrorFilePath().isEmpty())
        text += "\n  the whole report: " + shown(slaveError->getErrorFilePath());
    return text;
}

// Reads up to `count` pictures. Throws what the source throws: CSlaveError
// (a lumo::CException) when the slave crashed, CNEBError when it broke the
// protocol or ran out of time.
void readPictures(IVideoSource& video, long count)
{
    std::vector<uint8_t> rgb;
    for (long n = 0; n < count; ++n) {
        const P<INEBPicture> picture = video.getNextPicture();
        if (!picture)
            return;
        // The plugin chose the layout (RGB, YUY2, NV12 or YV12); copyRGB
        // converts any of them into 32-bit pixels, blue in the lowest byte,
        // top row first. The size is the picture's own: the master already
        // checked it against what the source announced.
        const int32_t width = picture->getWidth();
        const int32_t height = picture->getHeight();
        if (width <= 0 || height <= 0) {
            std::printf("picture at %.3f s: empty\n", picture->getTimestamp());
            continue;
        }
        rgb.resize(size_t(width) * size_t(height) * 4);
        picture->copyRGB(rgb.data(), width * 4, 0, 0, width, height);
        const uint8_t* centre = &rgb[(size_t(height / 2) * size_t(width) + size_t(width / 2)) * 4];
        std::printf("picture at %.3f s: %dx%d, centre #%02x%02x%02x\n", picture->getTimestamp(), width, height,
                    centre[2], centre[1], centre[0]);
    }
}

// What the slaves behind the source went through: each restart's cause and
// each slave's end.
void reportSlaves(ISource& source)
{
    const P<IBoxedSource> boxed = lumo::castObject<IBoxedSource>(&source, false);
    if (!boxed)
        return;
    for (const String& cause : boxed->getRestartCauses())
        std::printf("restart: %s\n", shown(cause).c_str());
    for (const lumo::SProcessEnd& end : boxed->getSlaveEnds())
        std::printf("slave: %s\n", describeSlaveEnd(end).toUTF8().c_str());
}

int run(const SArguments& arguments)
{
    // The context holds what the host and its plugins share: the memory
    // manager pictures come from, the log, and the plugins to load. They are
    // named by the base names of their libraries and looked for in the
    // plugin folders: beside this program, in NEBO_PLUGIN_PATH, and in the
    // installed plugin folder. nebo_demo is shipped; nebo_example is ours.
    const P<CSimpleNEBContext> context = make<CSimpleNEBContext>();
    context->setLogManager(make<CLogManager>(String("nebo_host_example")));
    context->addPluginLibrary(String("nebo_demo"));
    context->addPluginLibrary(String("nebo_example"));
    // Pictures are decoded when asked for, so a failure arrives with the
    // very picture that caused it rather than with one prefetched ahead.
    context->setPrefetch(false);
    // With resume on, a source whose slave dies while reading starts a new
    // slave that goes on after the picture that failed (at most
    // SSlaveLimits::maxRestartsPerSource times); off, the failure is thrown.
    context->setResumeAfterSlaveFailure(arguments.bResume);

    // Boxed: every plugin runs in slaves (nebo_slave), never in this
    // process. A plugin library that is missing is logged and left out.
    const P<CPluginHandler> handler = make<CPluginHandler>(context, true);

    // Each plugin that takes the extension is asked in turn, and what it
    // makes is test-opened; `true` keeps the winner open for reading.
    const P<IVideoSource> video = handler->tryCreateVideoSource(*toURI(arguments.medium), true);
    if (!video) {
        std::printf("no plugin could open %s\n", shown(String::fromUTF8(arguments.medium)).c_str());
        for (const CPluginHandler::SFailure& failure : handler->getLastFailures())
            std::printf("  %s: %s\n", shown(failure.pluginName).c_str(), shown(failure.reason).c_str());
        return 1;
    }
    std::printf("plugin: %s, %dx%d, %.3f s\n", shown(video->getPluginName()).c_str(), video->getWidth(),
                video->getHeight(), video->getDuration());

    int status = 0;
    try {
        readPictures(*video, arguments.pictures);
    } catch (const lumo::CException& error) {
        std::printf("failed: %s\n", describe(error).c_str());
        status = 1;
    }
    // Closing ends the slave; releasing the source would too. A slave that
    // failed has ended already, and closing only repeats its failure.
    try {
        video->close();
    } catch (const lumo::CException&) {
    }
    reportSlaves(*video);
    return status;
}

} // namespace

int main(int argc, char** argv)
{
    const std::optional<SArguments> arguments = parseArguments(argc, argv);
    if (!arguments) {
        std::fprintf(stderr, "usage: nebo_host_example [--resume] [--pictures N] MEDIUM\n");
        return 2;
    }
    // Everything the host library throws is a lumo::CException; a slave's
    // misbehaviour never takes this process down.
    try {
        return run(*arguments);
    } catch (const lumo::CException& error) {
        std::fprintf(stderr, "nebo_host_example: %s\n", describe(error).c_str());
        return 1;
    }
}
