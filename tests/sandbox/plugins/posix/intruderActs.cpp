#include "sandbox/plugins/intruderActs.h"

#include "platform/posix/CFileDescriptor.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <liburing.h>
#include <netinet/in.h>
#include <stdexcept>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <sys/ptrace.h>
#include <sys/sendfile.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace nebo::test {

using lumo::posix::CFileDescriptor;

namespace {

// How long the intruder waits for a process it stopped or started, or for the ring's answer.
constexpr auto patience = std::chrono::seconds(2);
constexpr auto processPoll = std::chrono::milliseconds(1);

const std::string done = "done";

// The outcome of a step that failed with errno, or `done`.
std::string outcome(bool bSucceeded)
{
    return bSucceeded ? done : "refused (" + std::string(std::strerror(errno)) + ")";
}

const std::string& parameter(const IntruderParameters& parameters, const char* name)
{
    const auto found = parameters.find(name);
    if (found == parameters.end() || found->second.empty())
        throw std::invalid_argument(std::string("no parameter ") + name);
    return found->second;
}

pid_t masterOf(const IntruderParameters& parameters)
{
    return static_cast<pid_t>(std::stoull(parameter(parameters, "master")));
}

std::string readFile(const std::string& path)
{
    const CFileDescriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    char byte = 0;
    return outcome(file.isValid() && read(file.get(), &byte, 1) == 1);
}

// True once `pid`, a child or a tracee, has changed state as `options` ask.
bool waitWithin(pid_t pid, int options)
{
    const auto deadline = std::chrono::steady_clock::now() + patience;
    int status = 0;
    while (waitpid(pid, &status, options | WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(processPoll);
    }
    return true;
}

std::string readSecret(const IntruderParameters& parameters) { return readFile(parameter(parameters, "secret")); }

std::string writeFile(const IntruderParameters& parameters)
{
    const CFileDescriptor file(
        open(parameter(parameters, "written").c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    return outcome(file.isValid() && write(file.get(), "x", 1) == 1);
}

std::string listFolder(const IntruderParameters& parameters)
{
    std::error_code error;
    std::filesystem::directory_iterator(parameter(parameters, "folder"), error);
    errno = error.value();
    return outcome(!error);
}

sockaddr_in loopbackAddress(const IntruderParameters& parameters, const char* portName)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(std::stoull(parameter(parameters, portName))));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

std::string connectLocal(const IntruderParameters& parameters)
{
    const sockaddr_in address = loopbackAddress(parameters, "port");
    const CFileDescriptor connection(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    return outcome(connection.isValid() &&
                   connect(connection.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0);
}

// A UDP socket made by the kernel's submission ring rather than by the socket call, which a filter that only looks at
// socket would miss; minus the error code when the ring refuses.
int socketThroughRing()
{
    io_uring ring{};
    if (const int error = io_uring_queue_init(2, &ring, 0); error < 0)
        return error;
    io_uring_prep_socket(io_uring_get_sqe(&ring), AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0, 0);
    io_uring_cqe* answer = nullptr;
    __kernel_timespec wait{patience.count(), 0};
    int result = io_uring_submit(&ring);
    if (result >= 0)
        result = io_uring_wait_cqe_timeout(&ring, &answer, &wait);
    if (result >= 0) {
        result = answer->res;
        io_uring_cqe_seen(&ring, answer);
    }
    io_uring_queue_exit(&ring);
    return result;
}

std::string uringSocket(const IntruderParameters& parameters)
{
    const sockaddr_in address = loopbackAddress(parameters, "udpPort");
    const int made = socketThroughRing();
    errno = made < 0 ? -made : errno;
    const CFileDescriptor sender(made);
    const char datagram[] = "intruder";
    return outcome(sender.isValid() &&
                   sendto(sender.get(), datagram, sizeof datagram, 0, reinterpret_cast<const sockaddr*>(&address),
                          sizeof address) == static_cast<ssize_t>(sizeof datagram));
}

std::string forkChild(const IntruderParameters&)
{
    const pid_t child = fork();
    if (child == 0)
        _exit(0);
    if (child < 0)
        return outcome(false);
    if (!waitWithin(child, 0)) {
        kill(child, SIGKILL);
        waitWithin(child, 0);
    }
    return done;
}

std::string readMasterEnviron(const IntruderParameters& parameters)
{
    return readFile("/proc/" + std::to_string(masterOf(parameters)) + "/environ");
}

// Seizing does not stop the master; stopping it briefly lets the intruder detach at once, the master untraced.
std::string traceMaster(const IntruderParameters& parameters)
{
    const pid_t master = masterOf(parameters);
    if (ptrace(PTRACE_SEIZE, master, nullptr, nullptr) != 0)
        return outcome(false);
    if (ptrace(PTRACE_INTERRUPT, master, nullptr, nullptr) == 0 && waitWithin(master, __WALL))
        ptrace(PTRACE_DETACH, master, nullptr, nullptr);
    return done;
}

// Signal 0 only checks the right to signal.
std::string signalMaster(const IntruderParameters& parameters) { return outcome(kill(masterOf(parameters), 0) == 0); }

std::string exec(const IntruderParameters&)
{
    execl("/bin/true", "true", static_cast<char*>(nullptr));
    return outcome(false);
}

// A program run from memory, without a file of its own. Each step goes on after a refusal, so that the exec itself
// meets the confinement whatever stopped the steps before it.
std::string filelessExec(const IntruderParameters& parameters)
{
    const CFileDescriptor memory(memfd_create("intruder", MFD_CLOEXEC));
    const CFileDescriptor program(open(parameter(parameters, "program").c_str(), O_RDONLY | O_CLOEXEC));
    while (sendfile(memory.get(), program.get(), nullptr, 1 << 20) > 0) {
    }
    char name[] = "true";
    char* const arguments[] = {name, nullptr};
    execveat(memory.get(), "", arguments, environ, AT_EMPTY_PATH);
    return outcome(false);
}

// True when `terminal` took every byte of `line` into its input queue, as if typed there.
bool typeInto(int terminal, const std::string& line)
{
    for (const char byte : line)
        if (ioctl(terminal, TIOCSTI, &byte) != 0)
            return false;
    return true;
}

// Types a line into whatever terminal the slave holds or can open, for the shell that reads it to run.
std::string injectTerminal(const IntruderParameters& parameters)
{
    const std::string line = parameter(parameters, "text") + "\n";
    for (const int standard : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO})
        if (typeInto(standard, line))
            return done;
    int lastError = errno;
    for (const std::string& path : {std::string("/dev/tty"), parameter(parameters, "terminal")}) {
        // Without O_NOCTTY: a session leader without a terminal makes the one it opens its own, and on its own terminal
        // TIOCSTI needs no privilege.
        const CFileDescriptor terminal(open(path.c_str(), O_RDWR | O_CLOEXEC));
        if (terminal.isValid() && typeInto(terminal.get(), line))
            return done;
        lastError = errno;
    }
    errno = lastError;
    return outcome(false);
}

using Act = std::string (*)(const IntruderParameters&);

const std::map<std::string, Act> acts = {
    {"readSecret", readSecret},
    {"writeFile", writeFile},
    {"listFolder", listFolder},
    {"connectLocal", connectLocal},
    {"uringSocket", uringSocket},
    {"fork", forkChild},
    {"readMasterEnviron", readMasterEnviron},
    {"traceMaster", traceMaster},
    {"signalMaster", signalMaster},
    {"exec", exec},
    {"filelessExec", filelessExec},
    {"injectTerminal", injectTerminal},
};

} // namespace

std::string runIntruderAct(const std::string& act, const IntruderParameters& parameters)
{
    const auto found = acts.find(act);
    return found == acts.end() ? "unknown act" : found->second(parameters);
}

} // namespace nebo::test
