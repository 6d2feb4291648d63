#pragma once

#include "foundation/CObject.h"
#include "foundation/sync/IMutex.h"
#include "foundation/sync/ISignal.h"
#include "host/master/CSlaveHandler.h"
#include "host/plugin/INEBContext.h"
#include "platform/IThread.h"
#include "platform/prepareHeap.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <map>
#include <vector>

namespace nebo::common {

// Slaves started ahead, so that opening a boxed medium does not wait for a
// process to start and load its plugin. For each plugin asked for (take) or
// named (prepare), the pool's thread keeps up to `slavesPerPlugin` slaves
// started and connected, one start at a time within the time limit. A slave
// handed out serves one source and ends with it; the pool replaces it after
// the refill delay. A plugin whose slave failed to start is not retried
// until asked for again, so a broken plugin costs one start per request.
//
// The slaves start with a copy of the limits, slave program, memory manager
// and log of the context the pool is made with, so a context may hold its
// pool. Closing or releasing the pool ends every waiting slave, as does the
// process's normal end for a pool still open. Thread-safe.
class CSlavePool : public lumo::CObject {
public:
    static constexpr int32_t maxSlavesPerPlugin = 16;

    // Starts nothing yet. Throws CInvalidArgError for a size outside
    // 0..maxSlavesPerPlugin; a pool of 0 never starts a slave.
    CSlavePool(const lumo::P<INEBContext>& context, int32_t slavesPerPlugin);
    // Closes the pool.
    ~CSlavePool() override;

    // The most memory a pooled slave may be asked to ready.
    static constexpr int32_t maxMemoryAheadMegabytes = int32_t{lumo::maxPreparedHeapBytes >> 20};
    // The longest a replacement may be put off.
    static constexpr int32_t maxRefillDelayMs = 60000;

    int32_t getSlavesPerPlugin() const { return m_slavesPerPlugin; }
    // Has every slave started from now on ready `megabytes` of its heap
    // (see CSlaveHandler::startAhead), holding that memory while it waits; 0,
    // the default, asks nothing, and a slave that cannot serves all the same.
    // Throws CInvalidArgError for a size outside 0..maxMemoryAheadMegabytes.
    void setMemoryAhead(int32_t megabytes);
    // Puts off the start of a taken slave's replacement by `delayMs`, so that
    // it does not compete with the medium the taken slave opens; 0 (the
    // default) and prepare() start at once. Throws CInvalidArgError for a
    // delay outside 0..maxRefillDelayMs.
    void setRefillDelay(int32_t delayMs);
    // Starts keeping slaves ready for `pluginName` (and retries one whose
    // start failed); returns at once.
    void prepare(const lumo::String& pluginName);
    // A waiting slave of `pluginName` that still serves, from now on logging
    // into `context` (see CSlaveHandler::handOver); the caller owns it. Null
    // when none is ready, or the pool is closed. Never waits for a start:
    // slaves that died while they waited are ended and passed over. Then
    // refills as prepare does.
    lumo::P<CSlaveHandler> take(const lumo::String& pluginName, const lumo::P<INEBContext>& context);
    // The slaves of `pluginName` that wait, served or not.
    int32_t countWaiting(const lumo::String& pluginName);
    // Waits until all slaves of `pluginName` are ready, at most `waitMs`;
    // false when the time passed or a start failed first.
    bool waitUntilReady(const lumo::String& pluginName, int32_t waitMs);
    // Stops starting slaves and ends those that wait, each within
    // CSlaveHandler::slaveEndWaitMs; a start under way is finished first,
    // which the time limit bounds. Later takes return null.
    void close();

private:
    struct SPlugin {
        std::deque<lumo::P<CSlaveHandler>> waiting;
        // Set when a start failed, cleared when the plugin is asked for.
        bool bStartFailed = false;
        // No slave of the plugin starts before this tick.
        int64_t refillTick = 0;
    };

    // Registers the plugin, clears its failure, lets its slaves start from
    // `refillTick` on and wakes the thread.
    void demand(const lumo::String& pluginName, int64_t refillTick);
    void runRefills();
    // A plugin that lacks slaves and may start one now; false when none
    // does, and then `waitMs` is how long until one may, or
    // ISignal::noTimeout.
    bool findPluginToFill(lumo::String& pluginName, uint64_t& waitMs);
    void startOne(const lumo::String& pluginName);
    void noteFailedStart(const lumo::String& pluginName, const lumo::String& reason);
    // Ends slaves outside the lock, each as its release does.
    static void endAll(std::vector<lumo::P<CSlaveHandler>>& handlers);

    const int32_t m_slavesPerPlugin;
    std::atomic<int32_t> m_memoryAheadMegabytes{0};
    std::atomic<int32_t> m_refillDelayMs{0};
    lumo::P<INEBContext> m_slaveContext;
    lumo::P<lumo::IMutex> m_mutex;
    std::map<lumo::String, SPlugin> m_plugins;
    std::atomic<bool> m_bClosed{false};
    lumo::P<lumo::ISignal> m_wake;
    lumo::P<lumo::IThread> m_thread;
};

} // namespace nebo::common
