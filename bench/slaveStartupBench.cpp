// What a master pays for every boxed question: from the spawn of a slave to
// the answer of its first "getPluginName". The real nebo_slave hosting
// nebo_demo is measured next to a minimal program that links nothing of
// ours and answers the same bytes, in the same run. Then what the slave's
// confinement adds before the plugin sees its medium: both of its steps as
// a slave takes them, each round in a child of its own, since confinement
// cannot be undone. Last, what a master pays for a slave that its plugin's
// launcher forks (nebo_demo, and nebo_avlib where it was built), against
// starting /bin/true and seeing its end.

#include "bench/benchProcesses.h"
#include "bench/benchSupport.h"
#include "foundation/CURI.h"
#include "host/common/CSimpleNEBContext.h"
#include "host/master/CNEBPluginClient.h"
#include "host/master/CSlaveHandler.h"
#include "platform/CProcessOptions.h"
#include "platform/IPipeManager.h"
#include "platform/IProcessManager.h"
#include "platform/ISandbox.h"
#include "streams/CMemoryManager.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

using nebo::bench::median;

using namespace lumo;
using Clock = std::chrono::steady_clock;

constexpr int rounds = 21;

// How a master starts its slaves: without a terminal, in namespaces of
// their own where the system allows.
P<CProcessOptions> confinedStart()
{
    const P<CProcessOptions> options = make<CProcessOptions>();
    options->bNoTerminal = true;
    options->bOwnNamespaces = true;
    return options;
}

// Milliseconds from the pipe's creation to the answer; `options` null for
// the platform's defaults.
double timeFirstAnswer(const std::string& program, const std::string& errorFile,
                       const P<CProcessOptions>& options = nullptr)
{
    static int count = 0;
    const std::string master = std::to_string(nebo::bench::getCurrentProcessID());
    const std::string pipeName = "nebo_slave-" + master + "-" + std::to_string(++count);
    const std::string arguments = " " + master + " " + pipeName + " nebo_demo file://" + errorFile + " 2";
    std::ofstream(errorFile) << "";

    const Clock::time_point start = Clock::now();
    P<IPipeServer> server = getPipeManager()->createServer(String::fromUTF8(pipeName));
    P<nebo::bench::CProgramStarter> starter = make<nebo::bench::CProgramStarter>(program, arguments, options);
    P<IPipeClient> pipe = server->acceptClient(starter.get());
    if (!pipe)
        throw std::runtime_error("the program did not connect: " + program);
    P<nebo::common::CNEBPluginClient> plugin =
        make<nebo::common::CNEBPluginClient>(pipe->getInStream(), pipe->getOutStream(), make<CMemoryManager>(30));
    if (plugin->getPluginName().toUTF8() != "nebo_demo")
        throw std::runtime_error("wrong answer from " + program);
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();

    plugin->quit();
    plugin = nullptr;
    pipe = nullptr;
    server = nullptr;
    // The next round starts on a quiet machine.
    for (int i = 0; i < 5000 && !starter->getProcess()->hasTerminated(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return ms;
}

// Milliseconds both confinement steps take in a fresh child confined to
// the folder's programs, a medium and an error file.
double timeConfinement(const std::string& folder, const std::string& work)
{
    nebo::bench::CForkedPeer child([&](nebo::bench::CPeerSocket& socket) {
        const P<ISandbox> sandbox = createSandbox();
        sandbox->setProgramFolder(String::fromUTF8(folder));
        sandbox->setMedium(String::fromUTF8(work + "/medium.demo"));
        sandbox->setErrorFile(String::fromUTF8(work + "/error.txt"));
        ISandbox::SLimits limits;
        limits.maxAddressSpace = 4ULL << 30;
        limits.maxFileSize = 64ULL << 20;
        limits.maxOpenFiles = 256;
        sandbox->setLimits(limits);
        const Clock::time_point start = Clock::now();
        const bool bComplete = sandbox->confineProcess().empty() && sandbox->confineFiles().empty();
        const double ms = bComplete ? std::chrono::duration<double, std::milli>(Clock::now() - start).count() : -1;
        return socket.send(&ms, sizeof ms) ? 0 : 1;
    });
    double ms = -1;
    if (!child.socket().receive(&ms, sizeof ms) || ms < 0)
        throw std::runtime_error("the confinement was not complete");
    return ms;
}

// Milliseconds from a master's asking for a slave of `plugin` to its first
// answer, the slave forked by the plugin's launcher, which the warm-up round
// started; its end is not counted.
double timeLaunchedAnswer(const P<nebo::common::CSimpleNEBContext>& context, const std::string& plugin)
{
    const Clock::time_point start = Clock::now();
    const P<nebo::common::CSlaveHandler> handler =
        make<nebo::common::CSlaveHandler>(context, String::fromUTF8(plugin), IProcess::priorityNormal);
    if (handler->getClient()->getPluginName().toUTF8() != plugin)
        throw std::runtime_error("wrong answer from a launched " + plugin);
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    handler->finish();
    return ms;
}

// Milliseconds to start /bin/true and see it end.
double timeTrue()
{
    const Clock::time_point start = Clock::now();
    const P<IProcess> process = getProcessManager()->createProcess(
        make<CURI>(String("file:///bin/true")), String(), PFrail<IURI>(), PFrail<IBase>(), IProcess::priorityNormal);
    if (!process->waitForEnd(5000))
        throw std::runtime_error("/bin/true did not end");
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Launched slaves of each plugin there is against /bin/true, alternating.
void compareLaunchedSlaves(const std::string& folder)
{
    std::vector<std::string> plugins;
    for (const char* plugin : {"nebo_demo", "nebo_avlib"})
        if (std::filesystem::exists(folder + "/" + plugin + ".so"))
            plugins.push_back(plugin);
    const P<nebo::common::CSimpleNEBContext> context = make<nebo::common::CSimpleNEBContext>();
    std::vector<std::vector<double>> launched(plugins.size());
    std::vector<double> trueStarts;
    timeTrue();
    for (const std::string& plugin : plugins)
        timeLaunchedAnswer(context, plugin);
    for (int i = 0; i < rounds; ++i) {
        trueStarts.push_back(timeTrue());
        for (size_t p = 0; p < plugins.size(); ++p)
            launched[p].push_back(timeLaunchedAnswer(context, plugins[p]));
    }
    const double trueMs = median(trueStarts);
    std::printf("a launcher's child, request to first answer, median of %d:\n", rounds);
    std::printf("  /bin/true, start and end %8.2f ms\n", trueMs);
    for (size_t p = 0; p < plugins.size(); ++p)
        std::printf("  %-24s %8.2f ms, ratio %.2f\n", plugins[p].c_str(), median(launched[p]),
                    median(launched[p]) / trueMs);
}

// Both start-up times, each the median of its rounds after one warm-up
// round, and their ratio.
int compareStartUps(const std::string& folder, const std::string& work)
{
    const std::string errorFile = work + "/error.txt";
    std::ofstream(work + "/medium.demo") << "";
    std::vector<double> slave, minimal, confinedSlave, confinement;
    timeFirstAnswer(folder + "/nebo_slave", errorFile);
    timeFirstAnswer(folder + "/minimal_slave", errorFile);
    timeFirstAnswer(folder + "/nebo_slave", errorFile, confinedStart());
    for (int i = 0; i < rounds; ++i) {
        slave.push_back(timeFirstAnswer(folder + "/nebo_slave", errorFile));
        minimal.push_back(timeFirstAnswer(folder + "/minimal_slave", errorFile));
        confinedSlave.push_back(timeFirstAnswer(folder + "/nebo_slave", errorFile, confinedStart()));
        confinement.push_back(timeConfinement(folder, work));
    }

    const double slaveMs = median(slave);
    const double minimalMs = median(minimal);
    const double confinedSlaveMs = median(confinedSlave);
    std::printf("spawn to first \"getPluginName\" answer, median of %d:\n", rounds);
    std::printf("  minimal program     %8.2f ms\n", minimalMs);
    std::printf("  nebo_slave          %8.2f ms\n", slaveMs);
    std::printf("  ratio               %8.2f\n", slaveMs / minimalMs);
    std::printf("nebo_slave started as a master starts it (own session and namespaces):\n");
    std::printf("  nebo_slave          %8.2f ms\n", confinedSlaveMs);
    std::printf("  added               %8.2f ms\n", confinedSlaveMs - slaveMs);
    std::printf("confinement of a slave (both steps), median of %d:\n", rounds);
    std::printf("  confinement         %8.3f ms\n", median(confinement));
    compareLaunchedSlaves(folder);
    return 0;
}

} // namespace

int main(int, char** argv)
{
    const std::string folder = std::filesystem::path(argv[0]).parent_path().string();
    return nebo::bench::runInWorkFolder([&](const std::string& work) { return compareStartUps(folder, work); });
}
