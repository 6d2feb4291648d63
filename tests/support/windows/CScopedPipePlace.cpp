#include "support/CScopedPipePlace.h"

#include "platform/IProcess.h"

#include <atomic>

namespace lumo {

// Pipe names are global to the machine: the process and a count of the
// scopes keep tests that run at once apart.
class CScopedPipePlace::CFolder {};

namespace {

std::atomic<int> scopeCount{0};

} // namespace

CScopedPipePlace::CScopedPipePlace()
    : m_prefix("lumo-test-" + std::to_string(getCurrentProcessID()) + "-" + std::to_string(scopeCount++) + "-")
{
}

CScopedPipePlace::~CScopedPipePlace() = default;

} // namespace lumo
