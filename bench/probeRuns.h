#pragma once

// The two ways the probe benchmarks read a list of media: with nebo_probe,
// every medium in a slave, and in this process on threads of its own with
// a plugin loaded here, the baseline.

#include "bench/benchSupport.h"
#include "foundation/CException.h"
#include "host/CPluginHandler.h"
#include "host/common/CSimpleNEBContext.h"
#include "platform/ISystem.h"

#include <atomic>
#include <cstdio>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace nebo::bench {

// Media per second of `nebo_probe ARGUMENTS MEDIA...` from its start to its
// end; throws std::runtime_error unless it ends well with every medium read.
inline double timeProbe(const std::string& arguments, const std::vector<std::string>& media)
{
    const std::string program = lumo::getSystem()->getExecutableDirectory()->getNativePath().toUTF8() + "/nebo_probe";
    std::string command = "'" + program + "' " + arguments;
    for (const std::string& medium : media)
        command += " '" + medium + "'";
    const std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    FILE* output = popen(command.c_str(), "r");
    if (!output)
        throw std::runtime_error("cannot start nebo_probe");
    std::string text;
    char buffer[4096];
    for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, output)) > 0;)
        text.append(buffer, got);
    const int status = pclose(output);
    const double seconds = secondsSince(start);
    size_t read = 0;
    for (size_t at = text.find("\"status\":\"read\""); at != std::string::npos;
         at = text.find("\"status\":\"read\"", at + 1))
        ++read;
    if (status != 0 || read != media.size())
        throw std::runtime_error("nebo_probe read " + std::to_string(read) + " of " + std::to_string(media.size()) +
                                 " media, status " + std::to_string(status));
    return media.size() / seconds;
}

// Media per second reading every medium with `read(handler, medium)` on
// `threadCount` threads, each with a context and an in-process handler of
// its own that loaded `plugin`. Throws std::runtime_error when a read threw.
inline double timeInProcess(const char* plugin, int threadCount, const std::vector<std::string>& media,
                            const std::function<void(common::CPluginHandler&, const std::string&)>& read)
{
    const std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    std::atomic<size_t> next{0};
    std::atomic<bool> bFailed{false};
    std::vector<std::thread> threads;
    for (int t = 0; t < threadCount; ++t) {
        threads.emplace_back([&] {
            try {
                const lumo::P<common::CSimpleNEBContext> context = lumo::make<common::CSimpleNEBContext>();
                context->addPluginLibrary(lumo::String(plugin));
                const lumo::P<common::CPluginHandler> handler = lumo::make<common::CPluginHandler>(context, false);
                for (size_t i = next++; i < media.size(); i = next++)
                    read(*handler, media[i]);
            } catch (const lumo::CException& error) {
                std::fprintf(stderr, "in process: %s\n", error.getDescription()->toUTF8().c_str());
                bFailed = true;
            } catch (const std::exception& error) {
                std::fprintf(stderr, "in process: %s\n", error.what());
                bFailed = true;
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    if (bFailed)
        throw std::runtime_error("reading in process failed");
    return media.size() / secondsSince(start);
}

} // namespace nebo::bench
