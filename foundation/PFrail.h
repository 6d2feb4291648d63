#pragma once

#include "foundation/P.h"

namespace lumo {

// A pointer that holds a reference only when its strong flag is set. A weak
// PFrail neither keeps its object alive nor learns of its death: whoever
// stores one must remove it before the object goes. Copies keep the flag.
template <class T> class PFrail {
public:
    PFrail() noexcept = default;
    PFrail(T* object, bool strong) noexcept : m_object(object), m_strong(strong) { retain(); }
    PFrail(const PFrail& other) noexcept : PFrail(other.m_object, other.m_strong) {}
    ~PFrail() { drop(); }

    PFrail& operator=(const PFrail& other) noexcept
    {
        if (other.m_strong && other.m_object)
            other.m_object->addRef();
        drop();
        m_object = other.m_object;
        m_strong = other.m_strong;
        return *this;
    }

    T* get() const noexcept { return m_object; }
    T* operator->() const noexcept { return m_object; }
    bool isStrong() const noexcept { return m_strong; }
    explicit operator bool() const noexcept { return m_object != nullptr; }

private:
    void retain() const noexcept
    {
        if (m_strong && m_object)
            m_object->addRef();
    }
    void drop() const noexcept
    {
        if (m_strong && m_object)
            m_object->release();
    }

    T* m_object = nullptr;
    bool m_strong = false;
};

} // namespace lumo
