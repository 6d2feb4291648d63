#include "platform/CWorkerManager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lumo {
namespace {

// A worker that logs what happens to it and may leave its manager as it works.
class CLoggingWorker : public CObject, public virtual IWorker {
public:
    CLoggingWorker(std::string name, uint32_t interval, std::vector<std::string>& log, bool bLeaves)
        : m_name(std::move(name)), m_interval(interval), m_log(log), m_bLeaves(bLeaves)
    {
    }

    void work() override
    {
        m_log.push_back(m_name + " works");
        if (m_bLeaves)
            m_manager->removeWorker(this);
    }
    uint64_t getLastWorkTime() override { return 0; }
    uint32_t getInterval() override { return m_interval; }
    void attached(IWorkerManager* manager) override
    {
        m_manager = manager;
        m_log.push_back(m_name + " attached");
    }
    void detached(IWorkerManager*) override { m_log.push_back(m_name + " detached"); }

private:
    std::string m_name;
    uint32_t m_interval;
    std::vector<std::string>& m_log;
    bool m_bLeaves;
    IWorkerManager* m_manager = nullptr;
};

class CWorkerManagerTest : public ::testing::Test {
protected:
    P<IWorker> add(const std::string& name, uint32_t interval = 0, bool bLeaves = false)
    {
        P<IWorker> worker = make<CLoggingWorker>(name, interval, m_log, bLeaves);
        m_workers.push_back(worker);
        m_manager->addWorker(worker.get());
        return worker;
    }

    std::vector<std::string> m_log;
    std::vector<P<IWorker>> m_workers;
    P<IWorkerManager> m_manager = make<CWorkerManager>();
};

TEST_F(CWorkerManagerTest, IntervalIsTheGreatestCommonDivisorOfTheWishes)
{
    EXPECT_EQ(0u, m_manager->getInterval());
    add("slow", 60);
    add("unhurried", 0);
    P<IWorker> fast = add("fast", 25);
    EXPECT_EQ(5u, m_manager->getInterval());
    EXPECT_TRUE(m_manager->removeWorker(fast.get()));
    EXPECT_EQ(60u, m_manager->getInterval()) << "removing recomputes; a wish of 0 changes nothing";
    EXPECT_FALSE(m_manager->removeWorker(fast.get()));
}

// From the last to the first, so that a worker leaving skips none.
TEST_F(CWorkerManagerTest, AWorkerMayLeaveWhileItWorks)
{
    EXPECT_EQ(0u, m_manager->getLastWorkTime());
    add("a", 0, true);
    add("b", 0, true);
    m_manager->work();
    m_manager->work();
    EXPECT_EQ((std::vector<std::string>{"a attached", "b attached", "b works", "a works"}), m_log);
    EXPECT_NE(0u, m_manager->getLastWorkTime());
}

} // namespace
} // namespace lumo
