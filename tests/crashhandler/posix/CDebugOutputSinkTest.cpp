#include "crashhandler/posix/CDebugOutputSink.h"

#include "crashhandler/posix/drainPipe.h"

#include <gtest/gtest.h>

#include <climits>
#include <fcntl.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace crashhandler {
namespace {

// A report-like text whose every byte tells where it stands.
std::string textOf(size_t length)
{
    std::string text(length, '\0');
    for (size_t i = 0; i < length; ++i)
        text[i] = static_cast<char>('a' + i * 7 % 26);
    return text;
}

class CDebugOutputSinkTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(pipe(m_pipe), 0); }
    void TearDown() override
    {
        for (int descriptor : m_pipe)
            if (descriptor >= 0)
                close(descriptor);
    }

    int m_pipe[2] = {-1, -1};
};

TEST_F(CDebugOutputSinkTest, PipeWithRoomTakesEverythingInOrder)
{
    const std::string text = textOf(3 * PIPE_BUF + 100);
    CDebugOutputSink sink(m_pipe[1]);
    sink.write(text.data(), 10);
    sink.write(text.data() + 10, text.size() - 10);
    EXPECT_TRUE(test::drainPipe(m_pipe[0]) == text);
}

TEST_F(CDebugOutputSinkTest, FullPipeEndsTheCopyForGoodWithoutWaiting)
{
    // One page: a single write of the whole text would wait for a reader for ever.
    ASSERT_EQ(fcntl(m_pipe[1], F_SETPIPE_SZ, PIPE_BUF), PIPE_BUF);
    const std::string text = textOf(3 * PIPE_BUF);
    CDebugOutputSink sink(m_pipe[1]);
    sink.write(text.data(), text.size());
    EXPECT_TRUE(test::drainPipe(m_pipe[0]) == text.substr(0, PIPE_BUF));

    // Room again, but the copy has a gap now: nothing more of it goes.
    sink.write(text.data(), 10);
    EXPECT_EQ(test::drainPipe(m_pipe[0]), "");
}

TEST_F(CDebugOutputSinkTest, PipeWithoutReaderRaisesNoSignal)
{
    close(m_pipe[0]);
    m_pipe[0] = -1;
    const pid_t child = fork();
    if (child == 0) {
        CDebugOutputSink sink(m_pipe[1]);
        sink.write("lost", 4);
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

} // namespace
} // namespace crashhandler
