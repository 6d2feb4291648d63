#include "platform/CThreadLocalStorage.h"

#include "CCountedProbe.h"
#include "platform/CThreadCallable.h"
#include "platform/IThread.h"
#include "platform/IThreadManager.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

// A thread body that reports what it finds in the storage, then fills it.
class CStorageUser : public CObject {
public:
    CStorageUser(P<IThreadLocalStorage> storage, P<IBase> object)
        : m_storage(std::move(storage)), m_object(std::move(object))
    {
    }

    void run()
    {
        m_foundEmpty = !m_storage->getObject() && !m_storage->getValue();
        m_storage->setValue(this);
        m_storage->setObject(m_object.get());
        m_object = nullptr;
    }

    bool m_foundEmpty = false;

private:
    P<IThreadLocalStorage> m_storage;
    P<IBase> m_object;
};

// The storage on the process-wide manager, as the platform's threads release it.
TEST(CThreadLocalStorageTest, AThreadsStorageIsReleasedWhenItEndsAndANewThreadStartsEmpty)
{
    std::atomic<int> destructions{0};
    P<IThreadLocalStorage> storage = make<CThreadLocalStorage>();
    for (int round = 1; round <= 3; ++round) {
        P<CStorageUser> user = make<CStorageUser>(storage, make<CCountedProbe>(destructions));
        getThreadManager()->createThread(CThreadCallable(user, &CStorageUser::run))->join();
        EXPECT_TRUE(user->m_foundEmpty);
        EXPECT_EQ(round, destructions);
    }
}

} // namespace
} // namespace lumo
