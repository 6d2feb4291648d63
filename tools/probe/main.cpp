// nebo_probe: opens media through the plugins beside it, each boxed in
// slaves, and tells people what it found. See getUsageText().
#include "foundation/CException.h"
#include "foundation/escapeControlCharacters.h"
#include "foundation/sync/getTickCount.h"
#include "host/common/CPluginFolders.h"
#include "host/master/CSlaveHandler.h"
#include "host/master/CSlaveLaunchers.h"
#include "tools/probe/CInterruption.h"
#include "tools/probe/CMediaProbe.h"
#include "tools/probe/CProgressBar.h"
#include "tools/probe/CTextReport.h"
#include "tools/probe/CUsageError.h"
#include "tools/probe/choosePoolSize.h"
#include "tools/probe/collectMedia.h"
#include "tools/probe/formatJSONReport.h"
#include "tools/probe/formatNumber.h"
#include "tools/probe/isErrorOutputTerminal.h"
#include "tools/probe/listPlugins.h"
#include "tools/probe/makeProbeContext.h"
#include "tools/probe/runInOrder.h"
#include "tools/probe/toMediaURI.h"

#include <iostream>
#include <optional>
#include <sstream>
#include <thread>

namespace {

using namespace nebo::probe;

constexpr int exitSucceeded = 0;
constexpr int exitFailed = 1;
constexpr int exitBadUsage = 2;
// As a shell reports a program that SIGINT ended.
constexpr int exitInterrupted = 130;

const std::string errorPrefix = "nebo_probe: ";

// What a command line names, read and checked before any slave starts.
struct SRequest {
    CProbeOptions options;
    std::vector<std::string> media;
    std::vector<lumo::P<lumo::CURI>> uris;
};

SRequest readRequest(const std::vector<std::string>& arguments)
{
    SRequest request{CProbeOptions::parse(arguments), {}, {}};
    if (request.options.bHelp || request.options.bVersion)
        return request;
    requireKnownPlugin(request.options.pluginName);
    if (request.options.bListPlugins)
        return request;
    request.media = collectMedia(request.options.media);
    for (const std::string& medium : request.media) {
        request.uris.push_back(toMediaURI(medium));
        // The slaves read the one file they are given and reach no network.
        if (request.uris.back()->getScheme().toUTF8() != "file")
            throw CUsageError(lumo::String::fromUTF8("only local files can be probed, not \"" + medium +
                                                     "\": name a path or a file:// URI"));
    }
    const CProbeOptions& options = request.options;
    if (request.media.size() > 1 && (options.thumbnailTime || options.sheetCount || !options.audioPath.empty()))
        throw CUsageError(lumo::String::fromUTF8("--thumbnail, --sheet and --audio take a single medium, but " +
                                                 std::to_string(request.media.size()) + " are named"));
    return request;
}

// Ctrl-C ends the slaves that the probe waits for, and those started ahead.
void endSlavesForInterrupt(const lumo::P<nebo::common::CSlavePool>& pool) noexcept
{
    try {
        if (pool)
            pool->close();
    } catch (const std::exception&) {
        // Its slaves end with the launchers or with the probe.
    }
    nebo::common::CSlaveLaunchers::get()->endAll();
}

int interrupted(size_t unfinished)
{
    std::cerr << errorPrefix << "interrupted: " << unfinished << (unfinished == 1 ? " medium" : " media")
              << " not finished" << std::endl;
    return exitInterrupted;
}

// One medium: the facts as they come, and a progress bar per picture.
int probeOne(const SRequest& request)
{
    const CInterruption interruption([] { endSlavesForInterrupt(nullptr); });
    const CProbeOptions& options = request.options;
    CTextReport text(options.bJSON ? nullptr : &std::cout, std::cerr, errorPrefix, options.bPrintLog);
    CMediaProbe probe(options, text, isErrorOutputTerminal() ? &std::cerr : nullptr);
    const SMediumReport report = probe.run(request.media[0], *request.uris[0]);
    if (options.bJSON)
        std::cout << formatJSONReport(report) << std::endl;
    if (report.bInterrupted)
        return interrupted(1);
    return report.hasFailed() ? exitFailed : exitSucceeded;
}

// Each medium reports into buffers of its own, printed in the order named;
// the errors name the medium.
SMediumOutput probeQuietly(const SRequest& request, size_t index, const lumo::P<nebo::common::CSlavePool>& pool)
{
    const CProbeOptions& options = request.options;
    std::ostringstream facts;
    std::ostringstream errors;
    // A file found in a folder may have any name.
    CTextReport text(options.bJSON ? nullptr : &facts, errors,
                     errorPrefix + lumo::escapeControlCharacters(request.media[index]) + ": ", options.bPrintLog);
    CMediaProbe probe(options, text, nullptr, pool);
    const SMediumReport report = probe.run(request.media[index], *request.uris[index]);
    if (options.bJSON)
        facts << formatJSONReport(report) << '\n';
    return {facts.str(), errors.str(), report.hasFailed(), report.bInterrupted, report.picturesDecoded};
}

// Several media side by side, with one progress bar for them all.
int probeMany(const SRequest& request)
{
    const int64_t start = lumo::getTickCount();
    const size_t count = request.media.size();
    const size_t jobs =
        request.options.jobs ? size_t(*request.options.jobs) : std::max<size_t>(std::thread::hardware_concurrency(), 1);
    const int32_t poolSize = choosePoolSize(request.options, count, jobs);
    // Shared by the media's contexts; it ends its waiting slaves when the
    // batch is done.
    const lumo::P<nebo::common::CSlavePool> pool =
        poolSize > 0 ? lumo::make<nebo::common::CSlavePool>(makeSlaveContext(request.options), poolSize) : nullptr;
    const CInterruption interruption([&pool] { endSlavesForInterrupt(pool); });
    std::optional<CProgressBar> bar;
    if (isErrorOutputTerminal())
        bar.emplace(std::cerr, int64_t(count), "media");
    size_t failed = 0;
    size_t unfinished = 0;
    int64_t pictures = 0;
    runInOrder(
        count, jobs, [&](size_t index) { return probeQuietly(request, index, pool); },
        [&](size_t index, const SMediumOutput& output) {
            if (bar)
                bar->hide();
            // A blank line between the reports in text.
            if (index > 0 && !request.options.bJSON)
                std::cout << '\n';
            std::cout << output.facts << std::flush;
            std::cerr << output.errors << std::flush;
            failed += output.bFailed && !output.bInterrupted;
            unfinished += output.bInterrupted;
            pictures += output.pictures;
        },
        [&](size_t finished) {
            if (bar)
                bar->update(int64_t(finished));
        });
    if (pool)
        pool->close();
    if (bar)
        bar->finish();
    if (!request.options.bJSON) {
        const double elapsedSeconds = double(lumo::getTickCount() - start) / 1000.0;
        const size_t read = count - failed - unfinished;
        std::cout << "\nSummary: " << read << (read == 1 ? " medium" : " media") << " read, " << failed << " failed, "
                  << (unfinished > 0 ? std::to_string(unfinished) + " interrupted, " : "") << pictures
                  << (pictures == 1 ? " picture" : " pictures") << " decoded, " << formatSeconds(elapsedSeconds)
                  << std::endl;
    }
    if (unfinished > 0)
        return interrupted(unfinished);
    return failed > 0 ? exitFailed : exitSucceeded;
}

// The plugins, each asked what it reads; fails when one could not tell.
int listAllPlugins(const CProbeOptions& options)
{
    try {
        const std::vector<SPluginListing> plugins = listPlugins(options);
        std::cout << (options.bJSON ? formatPluginListJSON(plugins) + "\n" : formatPluginListText(plugins))
                  << std::flush;
        for (const SPluginListing& plugin : plugins)
            if (!plugin.failure.empty())
                return exitFailed;
        return exitSucceeded;
    } catch (const lumo::CException& error) {
        std::cerr << errorPrefix << lumo::escapeControlCharacters(error.getDescription()->toUTF8()) << std::endl;
        return exitFailed;
    }
}

int usageFailed(const lumo::CException& error)
{
    std::cerr << errorPrefix << lumo::escapeControlCharacters(error.getDescription()->toUTF8()) << "\n"
              << "Try 'nebo_probe --help'." << std::endl;
    return exitBadUsage;
}

} // namespace

int main(int argc, char** argv)
{
    SRequest request;
    try {
        request = readRequest({argv + 1, argv + argc});
    } catch (const lumo::CException& error) {
        return usageFailed(error);
    }
    if (request.options.bHelp || request.options.bVersion) {
        std::cout << (request.options.bHelp ? getUsageText(nebo::common::CPluginFolders::ofThisProcess().getFolders())
                                            : getVersionText());
        return exitSucceeded;
    }
    try {
        nebo::common::CSlaveHandler::checkPipePlace();
    } catch (const lumo::CException& error) {
        std::cerr << errorPrefix << lumo::escapeControlCharacters(error.getDescription()->toUTF8())
                  << ": no slave can be started here" << std::endl;
        return exitFailed;
    }
    if (request.options.bListPlugins)
        return listAllPlugins(request.options);
    return request.media.size() == 1 ? probeOne(request) : probeMany(request);
}
