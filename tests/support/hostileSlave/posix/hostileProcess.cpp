#include "hostileProcess.h"

#include "crashhandler/posix/hangReportSignal.h"
#include "foundation/castObject.h"
#include "platform/posix/CSharedMemory.h"

#include <cerrno>
#include <csignal>
#include <unistd.h>

namespace nebo::test {

bool isProcessAlive(int processID) { return processID > 0 && (::kill(processID, 0) == 0 || errno == EPERM); }

void ignoreHangReportRequests()
{
    // Pending for good, so that its default action never ends the process.
    sigset_t request;
    sigemptyset(&request);
    sigaddset(&request, crashhandler::hangReportSignal);
    sigprocmask(SIG_BLOCK, &request, nullptr);
}

bool forkProcess() { return ::fork() == 0; }

bool tryResizing(lumo::ISharedMemory& buffer)
{
    const int descriptor = lumo::castObject<lumo::posix::CSharedMemory>(&buffer)->getDescriptor();
    return ::ftruncate(descriptor, 0) == 0 || ::ftruncate(descriptor, off_t(buffer.getSize()) * 2) == 0;
}

} // namespace nebo::test
