// A stand-in for nebo_slave that lies to its master, for the master's tests. Started as nebo_slave is
// (" PID PIPE PLUGIN ERRORFILEURI LEVEL"), it connects to the pipe PIPE and serves an honest plugin "hostile" and its
// 64x48 source, except for the one lie that NEBO_HOSTILE_MODE names (CHostileSlave.cpp lists the modes), told once, to
// the first request of its kind. Filler is cut short when the master closes the pipe; like every other failure of the
// connection, that ends the program with 0 and the failure's text in the error file, as nebo_slave ends. A clean "Quit"
// before a source was made ends with 0 and deletes the error file. An unknown or missing mode ends with 2 at once.
#include "CHostileSlave.h"
#include "foundation/CException.h"
#include "foundation/CURI.h"
#include "platform/IPathes.h"

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int exitBadCommandLine = -4;
constexpr int exitUnknownMode = 2;

std::string nativePathOf(const char* uriText)
{
    try {
        const lumo::P<lumo::CURI> uri = lumo::make<lumo::CURI>(lumo::String::fromLatin1(uriText));
        return lumo::getPathes()->getNativePath(*uri, false).toUTF8();
    } catch (const lumo::CException&) {
        return std::string();
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 6)
        return exitBadCommandLine;
    const char* modeName = std::getenv("NEBO_HOSTILE_MODE");
    const std::optional<nebo::test::CHostileSlave::Mode> mode =
        nebo::test::CHostileSlave::parseMode(modeName ? modeName : "");
    if (!mode) {
        std::fprintf(stderr, "hostile nebo_slave: NEBO_HOSTILE_MODE names no mode\n");
        return exitUnknownMode;
    }
    nebo::test::CHostileSlave slave(*mode, std::atoi(argv[1]), nativePathOf(argv[4]));
    return slave.run(lumo::String::fromLatin1(argv[2]));
}
