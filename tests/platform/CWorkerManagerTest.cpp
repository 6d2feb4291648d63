#include "platform/CWorkerManager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lumo {
namespace {

// A worker that logs what happens to it.
class CLoggingWorker : public CObject, public virtual IWorker {
public:
    CLoggingWorker(std::string name, uint32_t interval, std::vector<std::string>& log)
        : m_name(std::move(name)), m_interval(interval), m_log(log)
    {
    }

    void work() override { m_log.push_back(m_name + " works"); }
    uint64_t getLastWorkTime() override { return 0; }
    uint32_t getInterval() override { return m_interval; }
    void attached(IWorkerManager*) override { m_log.push_back(m_name + " attached"); }
    void detached(IWorkerManager*) override { m_log.push_back(m_name + " detached"); }

private:
    std::string m_name;
    uint32_t m_interval;
    std::vector<std::string>& m_log;
};

class CWorkerManagerTest : public ::testing::Test {
protected:
    P<IWorker> worker(const std::string& name, uint32_t interval = 0)
    {
        P<IWorker> worker = make<CLoggingWorker>(name, interval, m_log);
        m_workers.push_back(worker);
        return worker;
    }

    uint32_t intervalOf(std::initializer_list<uint32_t> intervals)
    {
        P<IWorkerManager> manager = make<CWorkerManager>();
        for (uint32_t interval : intervals)
            manager->addWorker(worker("w", interval).get());
        return manager->getInterval();
    }

    std::vector<std::string> m_log;
    std::vector<P<IWorker>> m_workers;
    P<IWorkerManager> m_manager = make<CWorkerManager>();
};

TEST_F(CWorkerManagerTest, IntervalIsTheGreatestCommonDivisorOfTheWishes)
{
    EXPECT_EQ(0u, intervalOf({}));
    EXPECT_EQ(0u, intervalOf({0, 0}));
    EXPECT_EQ(20u, intervalOf({40, 60, 0}));
    EXPECT_EQ(20u, intervalOf({0, 40, 60}));
    EXPECT_EQ(1u, intervalOf({3, 5}));
    EXPECT_EQ(1u, intervalOf({3, 5, 50}));
    EXPECT_EQ(50u, intervalOf({50}));
}

TEST_F(CWorkerManagerTest, RemovingAWorkerRecomputesTheInterval)
{
    P<IWorker> slow = worker("slow", 60);
    P<IWorker> fast = worker("fast", 25);
    m_manager->addWorker(slow.get());
    m_manager->addWorker(fast.get());
    EXPECT_EQ(5u, m_manager->getInterval());
    EXPECT_TRUE(m_manager->removeWorker(fast.get()));
    EXPECT_EQ(60u, m_manager->getInterval());
    EXPECT_FALSE(m_manager->removeWorker(fast.get()));
}

TEST_F(CWorkerManagerTest, WorkersAreToldWhenAddedAndDetachedButNotWhenRemoved)
{
    P<IWorker> first = worker("first");
    P<IWorker> second = worker("second");
    m_manager->addWorker(first.get());
    m_manager->addWorker(second.get());
    m_manager->detachWorker(first.get());
    m_manager->detachWorker(first.get());
    m_manager->removeWorker(second.get());
    EXPECT_EQ((std::vector<std::string>{"first attached", "second attached", "first detached"}), m_log);
}

TEST_F(CWorkerManagerTest, WorkCallsTheWorkersFromLastToFirstAndNotesTheTime)
{
    EXPECT_EQ(0u, m_manager->getLastWorkTime());
    for (const char* name : {"a", "b", "c"})
        m_manager->addWorker(worker(name).get());
    m_log.clear();
    m_manager->work();
    EXPECT_EQ((std::vector<std::string>{"c works", "b works", "a works"}), m_log);
    EXPECT_NE(0u, m_manager->getLastWorkTime());
}

// A worker that leaves its manager while it works.
class CLeavingWorker : public CObject, public virtual IWorker {
public:
    explicit CLeavingWorker(int& works) : m_works(works) {}

    void work() override
    {
        ++m_works;
        m_manager->removeWorker(this);
    }
    uint64_t getLastWorkTime() override { return 0; }
    uint32_t getInterval() override { return 0; }
    void attached(IWorkerManager* manager) override { m_manager = manager; }
    void detached(IWorkerManager*) override {}

private:
    int& m_works;
    IWorkerManager* m_manager = nullptr;
};

TEST_F(CWorkerManagerTest, AWorkerMayLeaveWhileItWorks)
{
    int works = 0;
    P<IWorker> first = make<CLeavingWorker>(works);
    P<IWorker> second = make<CLeavingWorker>(works);
    m_manager->addWorker(first.get());
    m_manager->addWorker(second.get());
    m_manager->work();
    EXPECT_EQ(2, works);
    m_manager->work();
    EXPECT_EQ(2, works);
}

} // namespace
} // namespace lumo
