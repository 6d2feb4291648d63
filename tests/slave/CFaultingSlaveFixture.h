#pragma once

// Makes the real nebo_slave's plugin fault, as a misbehaving medium does.
#include "foundation/CException.h"
#include "foundation/castObject.h"
#include "host/master/CNEBPluginClient.h"
#include "host/plugin/IVideoSource.h"
#include "slave/CSlaveFixture.h"
#include "streams/CMemoryManager.h"

#include <string>

namespace nebo::test {

class CFaultingSlaveFixture : public CSlaveFixture {
protected:
    // Starts a slave, asks it for the first picture of a demo clip that misbehaves with `fault` and waits for the
    // slave's end.
    void provoke(const std::string& fault)
    {
        lumo::P<lumo::IPipeClient> pipe = startServedSlave();
        ASSERT_TRUE(pipe);
        ASSERT_TRUE(requestFailingPicture(*pipe, fault));
        ASSERT_TRUE(lumo::waitForEnd(*m_slave));
    }

    // Asks the slave on `pipe` for the first picture of a demo clip that misbehaves with `fault`; true when the call
    // fails, as the slave's end makes it fail. Waits as long as the slave neither answers nor ends.
    static bool requestFailingPicture(lumo::IPipeClient& pipe, const std::string& fault)
    {
        lumo::P<common::CNEBPluginClient> plugin = lumo::make<common::CNEBPluginClient>(
            pipe.getInStream(), pipe.getOutStream(), lumo::make<lumo::CMemoryManager>(30));
        try {
            const lumo::P<common::ISource> source = plugin->tryCreateSource(
                *lumo::make<lumo::CURI>(lumo::String::fromUTF8("file:///x.demo?fail=" + fault)), 1, false, nullptr);
            if (!source)
                return false;
            lumo::castObject<common::IVideoSource>(source)->getNextPicture();
        } catch (const lumo::CException&) {
            return true;
        }
        return false;
    }
};

} // namespace nebo::test
