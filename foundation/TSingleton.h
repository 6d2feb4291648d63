#pragma once

#include "foundation/P.h"

#include <atomic>
#include <cstdint>

namespace lumo {

class IMutex;

// The lock under which every process-wide instance is created. Recursive, so
// that one creation function may ask for another instance; never destroyed,
// so that instances released at exit may still reach other instances.
IMutex& getSingletonCreationLock();

// Throws the error for a creation function that asked for its own instance.
[[noreturn]] void throwRecursiveSingletonCreation();

// Holder of one lazily built process-wide instance. Declare it as a static
// with static storage; it is constant-initialised, so it can be used from
// any other static initialiser, and it releases its instance at exit.
//
// The instance is published through two marker words: a caller that sees
// both set takes the instance without locking. Creation runs under the
// global creation lock, so racing callers wait for the first one. When the
// creation function throws, the error reaches the caller and the holder
// stays unpublished; the next caller tries again.
template <class I> class TSingleton {
public:
    using Creator = P<I> (*)();

    static constexpr uint32_t publishedMarker1 = 0x3d92a405;
    static constexpr uint32_t publishedMarker2 = 0x73df5089;

    constexpr explicit TSingleton(Creator create) noexcept : m_create(create) {}
    TSingleton(const TSingleton&) = delete;
    TSingleton& operator=(const TSingleton&) = delete;
    ~TSingleton()
    {
        unpublish();
        m_instance = nullptr;
    }

    P<I> get()
    {
        if (!isPublished())
            createOnce();
        return m_instance;
    }

    bool isPublished() const noexcept
    {
        return m_marker1.load(std::memory_order_acquire) == publishedMarker1 &&
               m_marker2.load(std::memory_order_acquire) == publishedMarker2;
    }

private:
    void createOnce();
    void unpublish() noexcept
    {
        m_marker1.store(0, std::memory_order_relaxed);
        m_marker2.store(0, std::memory_order_relaxed);
    }

    Creator m_create;
    P<I> m_instance;
    std::atomic<uint32_t> m_marker1{0};
    std::atomic<uint32_t> m_marker2{0};
    bool m_creating = false;
};

} // namespace lumo

#include "foundation/sync/IMutex.h"

namespace lumo {

template <class I> void TSingleton<I>::createOnce()
{
    IMutex& lock = getSingletonCreationLock();
    lock.lock();
    try {
        if (!isPublished()) {
            if (m_creating)
                throwRecursiveSingletonCreation();
            m_creating = true;
            unpublish();
            m_instance = m_create();
            m_marker1.store(publishedMarker1, std::memory_order_release);
            m_marker2.store(publishedMarker2, std::memory_order_release);
        }
    } catch (...) {
        m_creating = false;
        lock.unlock();
        throw;
    }
    m_creating = false;
    lock.unlock();
}

} // namespace lumo
