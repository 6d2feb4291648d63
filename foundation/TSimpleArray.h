#pragma once

#include "foundation/CObject.h"

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <memory>

namespace lumo {

// Untyped root of the array templates, so that arrays of any element type
// share one base class.
class CSimpleArrayTemplateBase : public CObject {};

// A growable array of P, PC or PFrail elements. Not locked: its owner locks.
// Indices are checked by assertion only; callers stay inside getCount().
template <class E> class TSimpleArray : public CSimpleArrayTemplateBase {
public:
    static constexpr int32_t defaultGrowthStep = 10;

    explicit TSimpleArray(int32_t growthStep = 0) : m_growthStep(growthStep > 0 ? growthStep : defaultGrowthStep) {}

    int32_t getCount() const { return m_count; }
    int32_t getCapacity() const { return m_capacity; }
    int32_t getGrowthStep() const { return m_growthStep; }

    const E& get(int32_t index) const
    {
        assert(index >= 0 && index < m_count);
        return m_elements[index];
    }
    void set(int32_t index, const E& element)
    {
        assert(index >= 0 && index < m_count);
        m_elements[index] = element;
    }

    void add(const E& element) { insert(m_count, &element, 1); }

    // Inserts `count` elements copied from `elements` before `index`.
    void insert(int32_t index, const E* elements, int32_t count)
    {
        assert(index >= 0 && index <= m_count && count >= 0);
        reserve(m_count + count);
        E* data = m_elements.get();
        std::move_backward(data + index, data + m_count, data + m_count + count);
        std::copy(elements, elements + count, data + index);
        m_count += count;
    }

    // Moves the run [from, from + count) so that it starts at index `to` of
    // the array as it is after the move.
    void move(int32_t from, int32_t count, int32_t to)
    {
        assert(from >= 0 && count >= 0 && from + count <= m_count);
        assert(to >= 0 && to + count <= m_count);
        E* first = m_elements.get();
        if (to < from)
            std::rotate(first + to, first + from, first + from + count);
        else if (to > from)
            std::rotate(first + from, first + from + count, first + to + count);
    }

    void remove(int32_t index, int32_t count = 1)
    {
        assert(index >= 0 && count >= 0 && index + count <= m_count);
        E* data = m_elements.get();
        std::move(data + index + count, data + m_count, data + index);
        for (int32_t i = m_count - count; i < m_count; ++i)
            m_elements[i] = E();
        m_count -= count;
    }

    // Removes the first element whose pointer is `object`; false when absent.
    template <class X> bool removeObject(const X* object)
    {
        for (int32_t i = 0; i < m_count; ++i)
            if (m_elements[i].get() == object) {
                remove(i);
                return true;
            }
        return false;
    }

    void clear() { setCapacity(0); }

    // Makes room for `needed` elements, growing by at least the growth step.
    void reserve(int32_t needed)
    {
        if (needed > m_capacity)
            setCapacity(std::max(needed, m_capacity + m_growthStep));
    }

    // A capacity below the count drops (and releases) the elements beyond it.
    void setCapacity(int32_t capacity)
    {
        assert(capacity >= 0);
        std::unique_ptr<E[]> elements(capacity > 0 ? new E[capacity] : nullptr);
        m_count = std::min(m_count, capacity);
        std::copy(m_elements.get(), m_elements.get() + m_count, elements.get());
        m_elements = std::move(elements);
        m_capacity = capacity;
    }

private:
    std::unique_ptr<E[]> m_elements;
    int32_t m_capacity = 0;
    int32_t m_count = 0;
    int32_t m_growthStep;
};

} // namespace lumo
