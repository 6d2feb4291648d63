#pragma once

#include "foundation/CObject.h"
#include "platform/IProcessHandle.h"
#include "platform/posix/CFileDescriptor.h"

#include <sys/types.h>

namespace lumo::posix {

// See IProcessHandle: a process descriptor, through which every signal
// goes, so that it reaches the process it was opened for or nothing.
class CProcessHandle : public CObject, public virtual IProcessHandle {
public:
    CProcessHandle(pid_t pid, CFileDescriptor descriptor);

    bool hasEnded() override;
    bool waitForEnd(uint32_t ms) override;
    void kill() override;
    void requestHangReport() override;
    uint32_t getID() override;

private:
    void send(int signal);

    pid_t m_pid;
    CFileDescriptor m_descriptor;
};

} // namespace lumo::posix
