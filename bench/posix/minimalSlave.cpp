// The least a slave can do: connect to the master's pipe, answer one
// "getPluginName" with "nebo_demo", and wait for the master to hang up.
// It links nothing of this project, so that the start-up benchmark can set
// the real slave against the cost of starting any program at all.
//
// Command line as the slave's: master id, pipe name, plugin, error file,
// level. The pipe is the socket <$NEBO_PIPE_DIR>/<pipe name>.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

bool readExactly(int socket, size_t count)
{
    char buffer[256];
    while (count > 0) {
        const ssize_t got = read(socket, buffer, count < sizeof buffer ? count : sizeof buffer);
        if (got <= 0)
            return false;
        count -= static_cast<size_t>(got);
    }
    return true;
}

void appendString(std::string& out, const char* text)
{
    const uint32_t length = static_cast<uint32_t>(std::strlen(text));
    out.append(reinterpret_cast<const char*>(&length), sizeof length);
    out.append(text, length);
}

} // namespace

int main(int argc, char** argv)
{
    const char* folder = std::getenv("NEBO_PIPE_DIR");
    if (argc < 3 || !folder)
        return 2;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string path = std::string(folder) + "/" + argv[2];
    if (path.size() >= sizeof address.sun_path)
        return 2;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int pipe = socket(AF_UNIX, SOCK_STREAM, 0);
    if (pipe < 0 || connect(pipe, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        return 1;

    // "function", "getPluginName", "execute", each after its 4-byte length.
    if (!readExactly(pipe, 4 + 8 + 4 + 13 + 4 + 7))
        return 1;
    std::string reply;
    appendString(reply, "return");
    appendString(reply, "Result");
    appendString(reply, "nebo_demo");
    if (write(pipe, reply.data(), reply.size()) != static_cast<ssize_t>(reply.size()))
        return 1;
    char rest;
    while (read(pipe, &rest, 1) > 0) {
    }
    return 0;
}
