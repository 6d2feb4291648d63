#pragma once

#include "tools/probe/CProbeOptions.h"

#include <cstddef>
#include <cstdint>

namespace nebo::probe {

// How many slaves per plugin to start ahead for `mediaCount` media probed
// on `jobs` threads: the options' size when given; otherwise one per job,
// since each job takes one slave at a time, but no more than the media that
// wait for a job (the first `jobs` start at once, before any slave could be
// ready) and at most common::CSlavePool::maxSlavesPerPlugin. 0 for none.
int32_t choosePoolSize(const CProbeOptions& options, size_t mediaCount, size_t jobs);

} // namespace nebo::probe
