#pragma once

#include "foundation/IBase.h"

#include <cstddef>
#include <type_traits>
#include <utility>

namespace lumo {

struct AdoptTag {};
// Marks the one place where a new object's initial reference is handed over.
constexpr AdoptTag adopt{};

// Counting smart pointer. Construction from a raw pointer counts; only the
// AdoptTag constructor takes over the creator's reference. Assignment counts
// the new target before it releases the old one, so self-assignment is safe.
// A P itself is not thread-safe; the objects it points to are.
template <class T> class P {
public:
    P() noexcept = default;
    P(std::nullptr_t) noexcept {}
    P(T* object) noexcept : m_object(object) { retain(); }
    P(AdoptTag, T* object) noexcept : m_object(object) {}
    P(const P& other) noexcept : P(other.m_object) {}
    P(P&& other) noexcept : m_object(std::exchange(other.m_object, nullptr)) {}
    template <class U, std::enable_if_t<std::is_convertible_v<U*, T*>, int> = 0> P(const P<U>& other)
    noexcept : P(other.get())
    {
    }
    template <class U, std::enable_if_t<std::is_convertible_v<U*, T*>, int> = 0> P(P<U>&& other)
    noexcept : m_object(other.detach())
    {
    }
    ~P() { drop(m_object); }

    P& operator=(const P& other) noexcept { return reset(other.m_object); }
    P& operator=(P&& other) noexcept
    {
        if (this != &other)
            drop(std::exchange(m_object, std::exchange(other.m_object, nullptr)));
        return *this;
    }
    P& operator=(T* object) noexcept { return reset(object); }
    P& operator=(std::nullptr_t) noexcept { return reset(nullptr); }

    T* get() const noexcept { return m_object; }
    T* operator->() const noexcept { return m_object; }
    T& operator*() const noexcept { return *m_object; }
    explicit operator bool() const noexcept { return m_object != nullptr; }

    // Gives up the reference without releasing it; the caller owns it.
    T* detach() noexcept { return std::exchange(m_object, nullptr); }

private:
    void retain() const noexcept
    {
        if (m_object)
            m_object->addRef();
    }
    static void drop(T* object) noexcept
    {
        if (object)
            object->release();
    }
    P& reset(T* object) noexcept
    {
        if (object)
            object->addRef();
        drop(std::exchange(m_object, object));
        return *this;
    }

    T* m_object = nullptr;
};

// Counting pointer through which only const operations are reachable.
template <class T> class PC {
public:
    PC() noexcept = default;
    PC(std::nullptr_t) noexcept {}
    PC(const T* object) noexcept : m_object(object) { retain(); }
    PC(AdoptTag, const T* object) noexcept : m_object(object) {}
    PC(const PC& other) noexcept : PC(other.m_object) {}
    PC(PC&& other) noexcept : m_object(std::exchange(other.m_object, nullptr)) {}
    template <class U, std::enable_if_t<std::is_convertible_v<const U*, const T*>, int> = 0> PC(const P<U>& other)
    noexcept : PC(other.get())
    {
    }
    template <class U, std::enable_if_t<std::is_convertible_v<const U*, const T*>, int> = 0> PC(const PC<U>& other)
    noexcept : PC(other.get())
    {
    }
    ~PC() { drop(m_object); }

    PC& operator=(const PC& other) noexcept { return reset(other.m_object); }
    PC& operator=(PC&& other) noexcept
    {
        if (this != &other)
            drop(std::exchange(m_object, std::exchange(other.m_object, nullptr)));
        return *this;
    }
    PC& operator=(const T* object) noexcept { return reset(object); }
    PC& operator=(std::nullptr_t) noexcept { return reset(nullptr); }

    const T* get() const noexcept { return m_object; }
    const T* operator->() const noexcept { return m_object; }
    const T& operator*() const noexcept { return *m_object; }
    explicit operator bool() const noexcept { return m_object != nullptr; }

private:
    void retain() const noexcept
    {
        if (m_object)
            m_object->addRef();
    }
    static void drop(const T* object) noexcept
    {
        if (object)
            object->release();
    }
    PC& reset(const T* object) noexcept
    {
        if (object)
            object->addRef();
        drop(std::exchange(m_object, object));
        return *this;
    }

    const T* m_object = nullptr;
};

template <class T, class U> bool operator==(const P<T>& a, const P<U>& b) { return a.get() == b.get(); }
template <class T, class U> bool operator!=(const P<T>& a, const P<U>& b) { return a.get() != b.get(); }
template <class T> bool operator==(const P<T>& a, std::nullptr_t) { return !a; }
template <class T> bool operator!=(const P<T>& a, std::nullptr_t) { return static_cast<bool>(a); }

// Creates a heap object and hands its initial reference to the returned P.
template <class T, class... Args> P<T> make(Args&&... args) { return P<T>(adopt, new T(std::forward<Args>(args)...)); }

} // namespace lumo
