#pragma once

#include <atomic>
#include <cstdint>

namespace lumo {

// The reference count shared by every object. A new object starts with one
// reference, which its creator hands to the first P (see make()).
class CReferencable {
public:
    // While a destructor runs the count sits at this value, so temporary
    // references taken by the dying object cannot bring it to zero again.
    static constexpr int32_t destroyingCount = -1000000;

    CReferencable() noexcept = default;
    CReferencable(const CReferencable&) noexcept {}
    CReferencable& operator=(const CReferencable&) noexcept { return *this; }
    virtual ~CReferencable() = default;

    void addReference() const noexcept;
    // Drops one reference; the last one destroys the object exactly once.
    void releaseReference() const noexcept;
    int32_t getReferenceCount() const noexcept;

    // Deletes the object through its virtual destructor; a null object is left alone.
    static void destroy(const CReferencable* object) noexcept;

private:
    mutable std::atomic<int32_t> m_count{1};
};

} // namespace lumo
