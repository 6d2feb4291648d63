#pragma once

#include "CCountedProbe.h"
#include "platform/CThreadLocalStorageManager.h"

#include <gtest/gtest.h>

namespace lumo {

// A manager of the test's own, and probes that count their destructions.
class CThreadLocalStorageFixture : public ::testing::Test {
protected:
    P<IBase> probe() { return make<CCountedProbe>(m_destructions); }

    std::atomic<int> m_destructions{0};
    P<CThreadLocalStorageManager> m_manager = make<CThreadLocalStorageManager>();
};

} // namespace lumo
