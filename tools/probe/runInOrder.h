#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace nebo::probe {

// What probing one medium left to print.
struct SMediumOutput {
    std::string facts;
    std::string errors;
    bool bFailed = false;
    // Ctrl-C stopped it before it was done.
    bool bInterrupted = false;
    int64_t pictures = 0;
};

// Runs `work(i)` for every i below `count` on up to `jobs` threads of its
// own and hands each output to `emit(i, output)` on the calling thread, in
// the order of i, as soon as it and all outputs before it are done;
// `finished(n)` hears there each time the count of finished media grows.
// `work` must be safe to run on several threads at once; what it throws
// becomes a failed output that says so. Returns once all is emitted.
void runInOrder(size_t count, size_t jobs, const std::function<SMediumOutput(size_t)>& work,
                const std::function<void(size_t, const SMediumOutput&)>& emit,
                const std::function<void(size_t)>& finished);

} // namespace nebo::probe
