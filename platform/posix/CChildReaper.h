#pragma once

#include "foundation/CObject.h"
#include "foundation/sync/IMutex.h"
#include "platform/IThread.h"

#include <sys/types.h>
#include <vector>

struct pollfd;

namespace lumo::posix {

// Collects the exit status of child processes that nobody waits for any
// more, so that none of them stays behind as a zombie. One thread watches
// every adopted child through a process descriptor and reaps it when it
// ends; it sleeps while no child ends. The thread lives as long as the
// process. Safe from any thread.
class CChildReaper : public CObject {
public:
    // Starts the watching thread. Throws CError when the system refuses a
    // thread or a descriptor.
    CChildReaper();
    ~CChildReaper() override;

    // Takes over a child of this process that has not been waited for; the
    // caller must not wait for it afterwards. Throws CError when the system
    // refuses a descriptor for it; the child then stays unreaped.
    void adopt(pid_t child);

private:
    struct SChild {
        pid_t pid;
        int descriptor;
    };

    void run();
    std::vector<pollfd> getWatchList();
    void reapEnded(const std::vector<pollfd>& watched);
    void wake();
    void clearWake();

    P<IMutex> m_mutex;
    int m_wakeDescriptor = -1;
    std::vector<SChild> m_children;
    P<IThread> m_thread;
};

// The process-wide reaper.
P<CChildReaper> getChildReaper();

} // namespace lumo::posix
