#pragma once

#include "host/CSimpleNEBContext.h"
#include "host/CSlaveHandler.h"
#include "platform/CTempFolder.h"
#include "support/CScopedEnvironment.h"
#include "support/CScopedPipePlace.h"

#include <gtest/gtest.h>

#include <string>

// A handler of "nebo_demo" whose error files go to a fresh temporary folder.
class CSlaveHandlerTest : public ::testing::Test {
protected:
    lumo::P<nebo::common::CSlaveHandler> makeHandler()
    {
        return lumo::make<nebo::common::CSlaveHandler>(m_context, lumo::String("nebo_demo"), -10);
    }
    static std::string pathOf(const nebo::common::CSlaveHandler& handler)
    {
        return handler.getErrorFile()->getNativePath().toUTF8();
    }

    lumo::CScopedPipePlace m_pipes;
    lumo::CTempFolder m_temp;
    lumo::CScopedEnvironment m_tempEnvironment{lumo::getTemporaryFolderVariable(), m_temp.pathOf("").c_str()};
    lumo::P<nebo::common::CSimpleNEBContext> m_context = lumo::make<nebo::common::CSimpleNEBContext>();
};
