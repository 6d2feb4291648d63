#pragma once

// What the benchmarks that start programs and time rounds share.

#include "foundation/CObject.h"
#include "foundation/CURI.h"
#include "platform/IPipeServer.h"
#include "platform/IProcessManager.h"

#include <algorithm>
#include <string>
#include <vector>

namespace nebo::bench {

// The middle of the measured values, which one noisy round cannot move.
inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Starts a program once its pipe exists, as a master starts its slave.
class CProgramStarter : public lumo::CObject, public virtual lumo::IPipeServer::IPipeCreatedListener {
public:
    CProgramStarter(std::string program, std::string arguments)
        : m_program(std::move(program)), m_arguments(std::move(arguments))
    {
    }

    bool pipeCreated() override
    {
        m_process = lumo::getProcessManager()->createProcess(
            lumo::CURI::fromNativePath(lumo::String::fromUTF8(m_program)), lumo::String::fromUTF8(m_arguments),
            lumo::PFrail<lumo::IURI>(), lumo::PFrail<lumo::IBase>(), lumo::IProcess::priorityNormal);
        return true;
    }
    lumo::P<lumo::IProcess> getProcess() const { return m_process; }

private:
    std::string m_program;
    std::string m_arguments;
    lumo::P<lumo::IProcess> m_process;
};

} // namespace nebo::bench
