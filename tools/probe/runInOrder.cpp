#include "tools/probe/runInOrder.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace nebo::probe {

namespace {

SMediumOutput runGuarded(const std::function<SMediumOutput(size_t)>& work, size_t index)
{
    try {
        return work(index);
    } catch (const std::exception& error) {
        return {std::string(), std::string("nebo_probe: failure: ") + error.what() + "\n", true, false, 0};
    }
}

} // namespace

void runInOrder(size_t count, size_t jobs, const std::function<SMediumOutput(size_t)>& work,
                const std::function<void(size_t, const SMediumOutput&)>& emit,
                const std::function<void(size_t)>& finished)
{
    std::vector<std::optional<SMediumOutput>> outputs(count);
    std::mutex mutex;
    std::condition_variable changed;
    size_t finishedCount = 0;
    std::atomic<size_t> next{0};
    std::vector<std::thread> workers;
    for (size_t i = 0; i < std::clamp<size_t>(jobs, 1, std::max<size_t>(count, 1)); ++i) {
        workers.emplace_back([&] {
            for (size_t index = next++; index < count; index = next++) {
                SMediumOutput output = runGuarded(work, index);
                const std::lock_guard<std::mutex> lock(mutex);
                outputs[index] = std::move(output);
                ++finishedCount;
                changed.notify_one();
            }
        });
    }
    size_t emitted = 0;
    size_t told = 0;
    while (emitted < count) {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait(lock, [&] { return finishedCount > told || outputs[emitted]; });
        told = finishedCount;
        std::vector<SMediumOutput> ready;
        for (size_t index = emitted; index < count && outputs[index]; ++index)
            ready.push_back(std::move(*outputs[index]));
        lock.unlock();
        // Printing may block on a slow reader: the workers go on meanwhile.
        for (SMediumOutput& output : ready)
            emit(emitted++, output);
        finished(told);
    }
    for (std::thread& worker : workers)
        worker.join();
}

} // namespace nebo::probe
