#include "foundation/TFrailArray.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

class IListener : public virtual IBase {
public:
    virtual void notify(std::vector<int>& calls) = 0;
};

class CListener : public CObject, public virtual IListener {
public:
    CListener(int id, TFrailArray<IListener>* list, bool removeItself)
        : m_id(id), m_list(list), m_removeItself(removeItself)
    {
    }
    void notify(std::vector<int>& calls) override
    {
        calls.push_back(m_id);
        if (m_removeItself)
            m_list->remove(this);
    }

private:
    int m_id;
    TFrailArray<IListener>* m_list;
    bool m_removeItself;
};

TEST(TFrailArrayTest, HoldsNoReferenceNotifiesLastToFirstAndLetsListenersRemoveThemselves)
{
    P<TFrailArray<IListener>> list = make<TFrailArray<IListener>>();
    std::vector<P<CListener>> listeners;
    for (int id = 0; id < 4; ++id) {
        listeners.push_back(make<CListener>(id, list.get(), id % 2 == 1));
        list->add(listeners.back().get());
        EXPECT_EQ(listeners.back()->getReferenceCount(), 1);
    }
    std::vector<int> calls;
    list->forEachBackwards([&](IListener* listener) { listener->notify(calls); });
    EXPECT_EQ(calls, (std::vector<int>{3, 2, 1, 0}));
    EXPECT_EQ(list->getCount(), 2);

    calls.clear();
    list->forEachBackwards([&](IListener* listener) { listener->notify(calls); });
    EXPECT_EQ(calls, (std::vector<int>{2, 0}));
    EXPECT_TRUE(list->remove(listeners[0].get()));
    EXPECT_FALSE(list->remove(listeners[0].get()));
    EXPECT_EQ(list->getCount(), 1);
}

} // namespace
} // namespace lumo
