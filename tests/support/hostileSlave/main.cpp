// A stand-in for nebo_slave that lies to its master, for the master's tests. Started as nebo_slave is
// (" PID PIPE PLUGIN ERRORFILEURI LEVEL"), it connects to the pipe PIPE and serves an honest plugin "hostile" and its
// 64x48 source, except for the one lie that NEBO_HOSTILE_MODE names, told once, to the first request of its kind.
// "Silence": it writes no more and lives until it is killed or the master process PID is gone (out of sight of
// namespaces of its own, until the master closes the pipe, reading and dropping what arrives meanwhile).
//
//   honest              no lie.
//   silent              silence right after connecting.
//   half-reply          "getLog": the first half of the honest reply, then silence.
//   huge-log            "getLog": a result string counting 2,147,483,647 bytes, as many as the master takes; silence.
//   count-then-silence  "getLog": the reply keyword's count 0xFFFFFFFF, then silence.
//   drip                "getLog": the honest reply, one byte per second; then honest.
//   flood-extensions    "getValidExtensions": a list of 20,000,000 empty strings, all of them; then honest.
//   huge-picture        "getNextPicture": a 23170x23170 RGB picture (2,147,395,600 bytes), as much as taken; silence.
//   huge-announce       the source and its pictures are 16385x16.
//   huge-error          the source's first function call: a 512 MiB reply keyword, "Error:" and filler; silence.
//   control-chars       the first "tryCreateSource": "Error:" and terminal escapes as reply keyword; serves on.
//   sparse-error-file   at once: a line of error text opening a sparse error file of 1 GiB; ends with 1.
//   forked-holder       at once (POSIX): a child holds the connection, dropping requests; the parent ends with 0.
//   exit                at once: ends with 3.
//   hang-in-picture     "getNextPicture": silence; with no hang report handler, the master's request ends it
//                       (POSIX) or finds nothing to ask (Windows).
//   hang-ignoring-report  "getNextPicture": lets the master's hang report request arrive unanswered, then silence.
//   small-picture       its pictures are 32x24, half the size it announces.
//   facts-count         "getMediumFacts": facts listing 1,000,000 tags, then silence.
//   facts-text          "getMediumFacts": a container name of 100,000 bytes, then silence.
//   facts-number        "getMediumFacts": a bit rate of -5, then silence.
//
// The shared modes fill the master's shared picture buffers one after another (only POSIX pipes carry them); the
// others answer the offer "notfound", as a slave without shared pictures does.
//
//   shared-honest       no lie.
//   shared-bad-index    the first picture names the buffer past the last.
//   shared-bad-offset   the first picture's pixels start 16 bytes before the buffer's end.
//   shared-bad-length   the first picture's length is one byte short.
//   shared-held-buffer  every picture goes into buffer 0, whether the master let go of it or not.
//   shared-shrink       tries to shrink and grow every buffer it receives, then serves honestly.
//
// Filler is cut short when the master closes the pipe; like every other failure of the connection, that ends the
// program with 0 and the failure's text in the error file, as nebo_slave ends. A clean "Quit" before a source was
// made ends with 0 and deletes the error file. An unknown or missing mode ends with 2 at once.
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
