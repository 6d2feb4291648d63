#pragma once

#include "host/common/CSimpleNEBContext.h"
#include "host/master/CSlaveHandler.h"
#include "withoutSlave.h"

#include <gtest/gtest.h>

namespace nebo::common {

// Handlers of "nebo_demo" whose error files go to a fresh temporary folder.
class CSlaveHandlerTest : public ::testing::Test {
protected:
    lumo::P<CSlaveHandler> makeHandler()
    {
        return lumo::make<CSlaveHandler>(m_context, lumo::String("nebo_demo"), -10);
    }

    const SWithoutSlave m_withoutSlave;
    lumo::P<CSimpleNEBContext> m_context = lumo::make<CSimpleNEBContext>();
};

} // namespace nebo::common
