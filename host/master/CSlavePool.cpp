#include "host/master/CSlavePool.h"

#include "foundation/CInvalidArgError.h"
#include "foundation/sync/CScopedLock.h"
#include "foundation/sync/IMutexFactory.h"
#include "foundation/sync/ISignalFactory.h"
#include "foundation/sync/getTickCount.h"
#include "host/common/CSimpleNEBContext.h"
#include "host/common/getErrorText.h"
#include "platform/CThreadCallable.h"
#include "platform/IProcess.h"
#include "platform/IThreadManager.h"

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <mutex>
#include <set>
#include <string>
#include <utility>

namespace nebo::common {

using lumo::make;
using lumo::P;
using lumo::String;

namespace {

// "warning": a plugin whose slaves cannot start is worth knowing about.
constexpr int32_t failedStartLogLevel = 1;
constexpr uint32_t readyPollMs = 5;

// The open pools, closed at exit before the process-wide instances they use
// go. Never destroyed, so that a pool released at exit still reaches them;
// recursive, as closing a pool unregisters it.
std::recursive_mutex& getOpenPoolsLock()
{
    static auto* const lock = new std::recursive_mutex;
    return *lock;
}

std::set<CSlavePool*>& getOpenPools()
{
    static auto* const pools = new std::set<CSlavePool*>;
    return *pools;
}

void closeOpenPools()
{
    // Held throughout, so that a pool released meanwhile waits for its close
    // to end before it goes.
    const std::lock_guard<std::recursive_mutex> lock(getOpenPoolsLock());
    const std::set<CSlavePool*> pools = std::move(getOpenPools());
    getOpenPools().clear();
    for (CSlavePool* pool : pools) {
        try {
            pool->close();
        } catch (const std::exception&) {
            // The slaves see their pipe close as the process ends.
        }
    }
}

void registerOpenPool(CSlavePool* pool)
{
    static const bool bRegistered = std::atexit(&closeOpenPools) == 0;
    (void)bRegistered;
    const std::lock_guard<std::recursive_mutex> lock(getOpenPoolsLock());
    getOpenPools().insert(pool);
}

void unregisterOpenPool(CSlavePool* pool)
{
    const std::lock_guard<std::recursive_mutex> lock(getOpenPoolsLock());
    getOpenPools().erase(pool);
}

// `value` when it lies within 0..most; else throws CInvalidArgError, which
// says "<doing> 0 to <most> <unit>, not <value>".
int32_t withinBound(int32_t value, int32_t most, const char* doing, const char* unit)
{
    if (value < 0 || value > most)
        throw lumo::CInvalidArgError(String::fromUTF8(std::string(doing) + " 0 to " + std::to_string(most) + " " +
                                                      unit + ", not " + std::to_string(value)),
                                     String("CSlavePool"));
    return value;
}

// What a slave needs of the master's context, and nothing that could hold
// the pool.
P<INEBContext> copySlaveSettings(INEBContext& context)
{
    const P<CSimpleNEBContext> copy = make<CSimpleNEBContext>();
    copy->setSlaveLimits(context.getSlaveLimits());
    copy->setSlaveProgram(context.getSlaveProgram());
    copy->setMemoryManager(context.getMemoryManager());
    copy->setLogManager(context.getLogManager());
    return copy;
}

} // namespace

CSlavePool::CSlavePool(const P<INEBContext>& context, int32_t slavesPerPlugin)
    : m_slavesPerPlugin(withinBound(slavesPerPlugin, maxSlavesPerPlugin, "a pool keeps", "slaves per plugin")),
      m_mutex(lumo::getMutexFactory()->createMutex()), m_wake(lumo::getSignalFactory()->createSignal())
{
    if (!context)
        throw lumo::CInvalidArgError(String("the context must not be null"), String("CSlavePool"));
    m_slaveContext = copySlaveSettings(*context);
    if (m_slavesPerPlugin == 0)
        return;
    registerOpenPool(this);
    try {
        // Weak: close() ends the thread before the pool goes.
        m_thread = lumo::getThreadManager()->createThread(lumo::CThreadCallable(this, &CSlavePool::runRefills, false));
    } catch (...) {
        unregisterOpenPool(this);
        throw;
    }
}

CSlavePool::~CSlavePool()
{
    try {
        close();
    } catch (const std::exception&) {
        // Each slave's own release ends it all the same.
    }
}

void CSlavePool::setMemoryAhead(int32_t megabytes)
{
    m_memoryAheadMegabytes = withinBound(megabytes, maxMemoryAheadMegabytes, "a pooled slave readies", "MB of memory");
}

void CSlavePool::setRefillDelay(int32_t delayMs)
{
    m_refillDelayMs = withinBound(delayMs, maxRefillDelayMs, "a pool puts off a refill by", "ms");
}

void CSlavePool::prepare(const String& pluginName) { demand(pluginName, 0); }

P<CSlaveHandler> CSlavePool::take(const String& pluginName, const P<INEBContext>& context)
{
    if (m_slavesPerPlugin == 0)
        return nullptr;
    P<CSlaveHandler> found;
    std::vector<P<CSlaveHandler>> dead;
    {
        const lumo::CScopedLock lock(m_mutex);
        const auto plugin = m_plugins.find(pluginName);
        while (plugin != m_plugins.end() && !plugin->second.waiting.empty() && !found) {
            P<CSlaveHandler> handler = std::move(plugin->second.waiting.front());
            plugin->second.waiting.pop_front();
            // One that was killed or crashed while it waited is no slave to hand out.
            if (handler->isServing())
                found = std::move(handler);
            else
                dead.push_back(std::move(handler));
        }
    }
    demand(pluginName, lumo::getTickCount() + m_refillDelayMs);
    endAll(dead);
    if (found)
        found->handOver(context);
    return found;
}

int32_t CSlavePool::countWaiting(const String& pluginName)
{
    const lumo::CScopedLock lock(m_mutex);
    const auto plugin = m_plugins.find(pluginName);
    return plugin == m_plugins.end() ? 0 : static_cast<int32_t>(plugin->second.waiting.size());
}

bool CSlavePool::waitUntilReady(const String& pluginName, int32_t waitMs)
{
    const int64_t deadline = lumo::getTickCount() + waitMs;
    for (;;) {
        {
            const lumo::CScopedLock lock(m_mutex);
            const auto plugin = m_plugins.find(pluginName);
            if (plugin != m_plugins.end()) {
                if (static_cast<int32_t>(plugin->second.waiting.size()) >= m_slavesPerPlugin)
                    return true;
                if (plugin->second.bStartFailed)
                    return false;
            }
        }
        if (m_bClosed || lumo::getTickCount() >= deadline)
            return false;
        lumo::getThreadManager()->sleep(readyPollMs);
    }
}

void CSlavePool::close()
{
    unregisterOpenPool(this);
    std::vector<P<CSlaveHandler>> waiting;
    {
        const lumo::CScopedLock lock(m_mutex);
        m_bClosed = true;
        for (auto& plugin : m_plugins) {
            for (P<CSlaveHandler>& handler : plugin.second.waiting)
                waiting.push_back(std::move(handler));
            plugin.second.waiting.clear();
        }
    }
    if (m_thread) {
        m_wake->set();
        m_thread->join();
        m_thread = nullptr;
    }
    endAll(waiting);
}

void CSlavePool::demand(const String& pluginName, int64_t refillTick)
{
    if (m_slavesPerPlugin == 0)
        return;
    {
        const lumo::CScopedLock lock(m_mutex);
        if (m_bClosed)
            return;
        SPlugin& plugin = m_plugins[pluginName];
        plugin.bStartFailed = false;
        plugin.refillTick = refillTick;
    }
    m_wake->set();
}

void CSlavePool::runRefills()
{
    uint64_t waitMs = lumo::ISignal::noTimeout;
    while (!m_bClosed) {
        m_wake->wait(waitMs);
        // Reset before looking, so that a demand made while the thread looks
        // wakes it again.
        m_wake->reset();
        String pluginName;
        while (!m_bClosed && findPluginToFill(pluginName, waitMs))
            startOne(pluginName);
    }
}

bool CSlavePool::findPluginToFill(String& pluginName, uint64_t& waitMs)
{
    const int64_t now = lumo::getTickCount();
    waitMs = lumo::ISignal::noTimeout;
    const lumo::CScopedLock lock(m_mutex);
    for (const auto& [name, plugin] : m_plugins) {
        if (plugin.bStartFailed || static_cast<int32_t>(plugin.waiting.size()) >= m_slavesPerPlugin)
            continue;
        if (plugin.refillTick <= now) {
            pluginName = name;
            return true;
        }
        waitMs = std::min(waitMs, static_cast<uint64_t>(plugin.refillTick - now));
    }
    return false;
}

void CSlavePool::startOne(const String& pluginName)
{
    P<CSlaveHandler> handler;
    try {
        handler = make<CSlaveHandler>(m_slaveContext, pluginName, lumo::IProcess::priorityBelowNormal);
        handler->startAhead(int64_t{m_memoryAheadMegabytes} << 20);
    } catch (const lumo::CException& error) {
        noteFailedStart(pluginName, getErrorText(error));
        return;
    } catch (const std::exception& error) {
        noteFailedStart(pluginName, String::fromUTF8(error.what()));
        return;
    }
    const lumo::CScopedLock lock(m_mutex);
    // A pool closed meanwhile lets the handler's release end the slave.
    if (!m_bClosed)
        m_plugins[pluginName].waiting.push_back(std::move(handler));
}

void CSlavePool::noteFailedStart(const String& pluginName, const String& reason)
{
    // Logged first, so that whoever sees the failure finds it told.
    try {
        if (const P<ILogManager> log = m_slaveContext->getLogManager())
            log->logText(failedStartLogLevel,
                         String("slave pool: a slave for ") + pluginName + String(" did not start: ") + reason);
    } catch (const std::exception&) {
        // The log is for people; the pool goes on without it.
    }
    const lumo::CScopedLock lock(m_mutex);
    m_plugins[pluginName].bStartFailed = true;
}

void CSlavePool::endAll(std::vector<P<CSlaveHandler>>& handlers)
{
    for (P<CSlaveHandler>& handler : handlers)
        handler->finish();
    handlers.clear();
}

} // namespace nebo::common
