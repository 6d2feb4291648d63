#pragma once

// What the benchmarks that start programs and time rounds share.

#include "bench/benchProcesses.h"
#include "foundation/CException.h"
#include "foundation/CObject.h"
#include "foundation/CURI.h"
#include "platform/CProcessOptions.h"
#include "platform/IPipeServer.h"
#include "platform/IProcessManager.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace nebo::bench {

// The middle of the measured values, which one noisy round cannot move.
inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The middle of the rounds' own ratios, ways[i] / baselines[i]. A round
// measures every way back to back, so a slow spell of a shared machine,
// which slows all ways of its round alike, cancels in the round's ratio
// instead of moving one way's median against the baseline's. Both hold a
// value for each round.
inline double medianRatio(const std::vector<double>& ways, const std::vector<double>& baselines)
{
    std::vector<double> ratios;
    for (size_t round = 0; round < ways.size() && round < baselines.size(); ++round)
        ratios.push_back(ways[round] / baselines[round]);
    return median(ratios);
}

// Seconds on the monotonic clock since `start`.
inline double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Runs `make` in a child process and waits for it, so that what a
// benchmark makes for its input (an encoded clip, say) leaves this
// process's memory as it was: the memory an encoder freed would otherwise
// serve the in-process decoding measured here warm, a head start that comes
// from the benchmark, not from the host. Call it before any thread starts.
// Throws std::runtime_error when `make` failed; the child prints why.
inline void makeInputApart(const std::function<void()>& make)
{
    char made = 0;
    {
        CForkedPeer maker([&](CPeerSocket& socket) {
            char done = 0;
            try {
                make();
                done = 1;
            } catch (const std::exception& error) {
                std::fprintf(stderr, "%s\n", error.what());
            }
            return socket.send(&done, 1) ? 0 : 1;
        });
        if (!maker.socket().receive(&made, 1))
            made = 0;
    }
    if (!made)
        throw std::runtime_error("the benchmark's input could not be made");
}

// Runs `run(work)` with a fresh work folder that holds the pipes and the
// error files of the slaves started meanwhile, then removes the folder. An
// error that escapes is printed, and the result is then 1.
template <class F> int runInWorkFolder(F run)
{
    std::string work;
    int status = 1;
    try {
        work = makeWorkFolder();
        setEnvironment("NEBO_PIPE_DIR", (work + "/pipes").c_str());
        setEnvironment("TMPDIR", work.c_str());
        status = run(work);
    } catch (const lumo::CException& error) {
        std::fprintf(stderr, "%s\n", error.getDescription()->toUTF8().c_str());
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
    }
    if (!work.empty())
        std::filesystem::remove_all(work);
    return status;
}

// Starts a program once its pipe exists, as a master starts its slave.
class CProgramStarter : public lumo::CObject, public virtual lumo::IPipeServer::IPipeCreatedListener {
public:
    // `options` may be null: the platform's defaults.
    CProgramStarter(std::string program, std::string arguments, lumo::P<lumo::CProcessOptions> options = nullptr)
        : m_program(std::move(program)), m_arguments(std::move(arguments)), m_options(std::move(options))
    {
    }

    bool pipeCreated() override
    {
        m_process = lumo::getProcessManager()->createProcess(
            lumo::CURI::fromNativePath(lumo::String::fromUTF8(m_program)), lumo::String::fromUTF8(m_arguments),
            lumo::PFrail<lumo::IURI>(), lumo::PFrail<lumo::IBase>(m_options.get(), true),
            lumo::IProcess::priorityNormal);
        return true;
    }
    lumo::P<lumo::IProcess> getProcess() const { return m_process; }

private:
    std::string m_program;
    std::string m_arguments;
    lumo::P<lumo::CProcessOptions> m_options;
    lumo::P<lumo::IProcess> m_process;
};

} // namespace nebo::bench
