#include "CHostileSlave.h"
#include "hostileProcess.h"

#include "foundation/CException.h"
#include "foundation/castObject.h"
#include "platform/IPipeManager.h"
#include "platform/ISharedMemoryChannel.h"
#include "platform/IThreadManager.h"
#include "remote/CRemoteException.h"
#include "streams/CDataInStream.h"
#include "streams/CDataOutStream.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <vector>

namespace nebo::test {

using lumo::make;
using lumo::String;

namespace {

constexpr int exitPipeNotReachable = -1;
constexpr int exitAtOnceCode = 3;
constexpr int exitAfterSparseErrorFile = 1;

constexpr int32_t honestWidth = 64;
constexpr int32_t honestHeight = 48;
// One pixel wider than a master allows.
constexpr int32_t announcedWidth = 16385;
constexpr int32_t announcedHeight = 16;
// The largest square whose RGB block length still fits a signed 32-bit count.
constexpr int32_t hugePictureSide = 23170;
constexpr int64_t hugeErrorBytes = int64_t{512} << 20;
constexpr int64_t sparseErrorFileBytes = int64_t{1} << 30;
constexpr int64_t lyingFactsTextBytes = 100000;
constexpr int64_t lyingBitRate = -5;
constexpr int32_t lyingTagCount = 1000000;
constexpr int32_t floodedExtensionCount = 20000000;
constexpr uint32_t dripIntervalMs = 1000;
constexpr uint32_t silencePollMs = 200;
constexpr size_t fillPieceBytes = 64 * 1024;

const std::string_view errorKeyword = "Error:";
const std::string_view terminalEscapes = "\x1b]0;owned\x07\x1b[2J\x1b[31mFAKE LINE\r\n";
const std::string_view sparseErrorText = "lumo::CException\nType: Error\ntext: a slave that left 1 GiB of error file\n";

// Each mode, the request its lie answers ("": none, "*": the source's first call), whether it takes shared buffers,
// and its lie. "Silence": it writes no more and lives until it is killed or its master is gone (see silence()). The
// shared modes fill the master's shared picture buffers one after another (only POSIX pipes carry them); the others
// answer the offer "notfound", as a slave without shared pictures does.
struct SModeEntry {
    std::string_view name;
    CHostileSlave::Mode mode;
    std::string_view lieTarget;
    bool bShared;
};

using M = CHostileSlave::Mode;
const SModeEntry modeEntries[] = {
    {"honest", M::honest, "", false},
    {"silent", M::silent, "", false},                                      // silence after connecting
    {"half-reply", M::halfReply, "getLog", false},                         // half the honest reply; silence
    {"huge-log", M::hugeLog, "getLog", false},                             // a result of 2^31-1 bytes; silence
    {"count-then-silence", M::countThenSilence, "getLog", false},          // a keyword's count of 2^32-1; silence
    {"drip", M::drip, "getLog", false},                                    // the honest reply, a byte a second
    {"flood-extensions", M::floodExtensions, "getValidExtensions", false}, // 20,000,000 empty strings
    {"huge-picture", M::hugePicture, "getNextPicture", false},             // a 23170x23170 picture; silence
    {"huge-announce", M::hugeAnnounce, "", false},                         // pictures of 16385x16, as announced
    {"huge-error", M::hugeError, "*", false},                              // a 512 MiB keyword "Error:..."; silence
    {"control-chars", M::controlChars, "tryCreateSource", false},          // "Error:" and escapes as keyword
    {"sparse-error-file", M::sparseErrorFile, "", false},                  // at once: sparse 1 GiB error file; exit 1
    {"forked-holder", M::forkedHolder, "", false},                         // at once: a child holds the pipe (POSIX)
    {"exit", M::exitAtOnce, "", false},                                    // at once: exit 3
    {"hang-in-picture", M::hangInPicture, "getNextPicture", false},        // silence, with no hang report handler
    {"hang-ignoring-report", M::hangIgnoringReport, "getNextPicture", false}, // silence; hang report requests ignored
    {"small-picture", M::smallPicture, "", false},                            // 32x24 pictures, half the announced size
    {"facts-count", M::factsCount, "getMediumFacts", false},                  // 1,000,000 tags; silence
    {"facts-text", M::factsText, "getMediumFacts", false},                    // a 100,000-byte container name; silence
    {"facts-number", M::factsNumber, "getMediumFacts", false},                // a bit rate of -5; silence
    {"shared-honest", M::sharedHonest, "", true},
    {"shared-bad-index", M::sharedBadIndex, "", true},     // 1st picture: the buffer past the last
    {"shared-bad-offset", M::sharedBadOffset, "", true},   // 1st picture: 16 bytes before the end
    {"shared-bad-length", M::sharedBadLength, "", true},   // 1st picture: a byte short
    {"shared-held-buffer", M::sharedHeldBuffer, "", true}, // all pictures in buffer 0, held or not
    {"shared-shrink", M::sharedShrink, "", true},          // tries to resize each buffer; then honest
};

const SModeEntry& entryOf(CHostileSlave::Mode mode)
{
    return *std::find_if(std::begin(modeEntries), std::end(modeEntries),
                         [mode](const SModeEntry& entry) { return entry.mode == mode; });
}

// The plugin of the sizes the mode announces and hands out; a prvalue, built in place, as its calls refer to it.
CHonestPlugin makePlugin(CHostileSlave::Mode mode)
{
    if (mode == CHostileSlave::Mode::hugeAnnounce)
        return CHonestPlugin(announcedWidth, announcedHeight, announcedWidth, announcedHeight);
    if (mode == CHostileSlave::Mode::smallPicture)
        return CHonestPlugin(honestWidth, honestHeight, honestWidth / 2, honestHeight / 2);
    return CHonestPlugin(honestWidth, honestHeight, honestWidth, honestHeight);
}

void send(lumo::IDataOutStream& out, std::string_view bytes)
{
    out.write(bytes.data(), static_cast<int32_t>(bytes.size()));
}

void sendString(lumo::IDataOutStream& out, std::string_view text) { out.writeString(*String::fromUTF8(text).get()); }

// `count` filler bytes, in pieces.
void fill(lumo::IDataOutStream& out, int64_t count, char byte)
{
    const std::vector<char> piece(fillPieceBytes, byte);
    for (int64_t left = count; left > 0; left -= int64_t(fillPieceBytes))
        send(out, std::string_view(piece.data(), size_t(std::min<int64_t>(left, int64_t(fillPieceBytes)))));
}

void drip(lumo::IDataOutStream& out, std::string_view bytes)
{
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (i > 0)
            lumo::getThreadManager()->sleep(dripIntervalMs);
        send(out, bytes.substr(i, 1));
    }
}

void floodExtensions(lumo::IDataOutStream& out)
{
    writeReplyHead(out);
    out.writeBool(false);
    out.writeInt32(floodedExtensionCount);
    // Each an empty string: a count of 0.
    fill(out, int64_t{floodedExtensionCount} * 4, '\0');
    writeObjectEnd(out);
}

void sendHugePicture(lumo::IDataOutStream& out)
{
    const int32_t blockBytes = hugePictureSide * hugePictureSide * 4;
    writeReplyHead(out);
    out.writeBool(false);
    writePictureHead(out, 0.0, hugePictureSide, hugePictureSide);
    out.writeInt32(blockBytes);
    fill(out, blockBytes, 'x');
}

void sendHugeError(lumo::IDataOutStream& out)
{
    out.writeUInt32(uint32_t(hugeErrorBytes));
    send(out, errorKeyword);
    fill(out, hugeErrorBytes - int64_t(errorKeyword.size()), 'x');
}

// Empty container and description, then the mode's lie: its bit rate or tag count, or a container name that long.
void sendLyingFacts(lumo::IDataOutStream& out, CHostileSlave::Mode mode)
{
    writeReplyHead(out);
    out.writeBool(false);
    if (mode == CHostileSlave::Mode::factsText) {
        out.writeUInt32(uint32_t(lyingFactsTextBytes));
        fill(out, lyingFactsTextBytes, 'x');
        return;
    }
    sendString(out, "");
    sendString(out, "");
    out.writeInt64(mode == CHostileSlave::Mode::factsNumber ? lyingBitRate : 0);
    out.writeInt32(lyingTagCount);
}

void writeErrorFile(const std::filesystem::path& file, const lumo::CException& error)
{
    const String text = String("lumo::CException\nType: ") + String(error.getGeneralDescription()) +
                        String("\ntext: ") + String(error.getDescription());
    std::ofstream(file, std::ios::binary) << text.toUTF8();
}

} // namespace

std::optional<CHostileSlave::Mode> CHostileSlave::parseMode(std::string_view name)
{
    for (const SModeEntry& entry : modeEntries)
        if (entry.name == name)
            return entry.mode;
    return std::nullopt;
}

CHostileSlave::CHostileSlave(Mode mode, int masterProcessID, const std::string& errorFilePath)
    : m_mode(mode), m_masterProcessID(masterProcessID), m_errorFile(std::filesystem::u8path(errorFilePath)),
      m_plugin(makePlugin(mode))
{
}

int CHostileSlave::run(const String& pipeName)
{
    m_pipe = lumo::getPipeManager()->createClient(pipeName);
    if (!m_pipe->connect())
        return exitPipeNotReachable;
    m_in = make<lumo::CDataInStream>(m_pipe->getInStream());
    m_out = make<lumo::CDataOutStream>(m_pipe->getOutStream());
    if (isSharedMode())
        lumo::castObject<lumo::ISharedMemoryChannel>(m_pipe)->acceptSharedMemory();
    switch (m_mode) {
    case Mode::silent:
        silence();
    case Mode::exitAtOnce:
        return exitAtOnceCode;
    case Mode::sparseErrorFile: {
        std::ofstream(m_errorFile, std::ios::binary) << sparseErrorText;
        std::error_code ignored;
        std::filesystem::resize_file(m_errorFile, uintmax_t(sparseErrorFileBytes), ignored);
        return exitAfterSparseErrorFile;
    }
    case Mode::forkedHolder:
        // The child keeps the connection open; the parent leaves at once.
        if (forkProcess()) {
            holdPipeUntilClosed();
            std::_Exit(0);
        }
        return 0;
    default:
        break;
    }
    // Ends as nebo_slave does: a clean "Quit" takes the error file along, a failure leaves its text there.
    try {
        serve();
        std::error_code ignored;
        std::filesystem::remove(m_errorFile, ignored);
    } catch (const lumo::CException& error) {
        writeErrorFile(m_errorFile, error);
    }
    return 0;
}

void CHostileSlave::serve()
{
    for (;;) {
        const std::string keyword = m_in->readString().toUTF8();
        // The "execute" closing the request before is read here and dropped.
        if (keyword != "void" && keyword != "function")
            continue;
        const std::string name = m_in->readString().toUTF8();
        if (m_plugin.hasSource() && isSharedMode() && serveShared(name))
            continue;
        // The lies about facts answer a request the honest plugin knows not.
        if (!m_bLied && isLieTarget(name) && !m_plugin.serves(name)) {
            answer(name);
            continue;
        }
        if (!m_plugin.serves(name)) {
            refuse(keyword);
            continue;
        }
        m_plugin.takeRequest(name, *m_in);
        // Once a source serves, "Quit" ends nothing: the slave lives on until the master closes the pipe.
        if (name == "Quit" && !m_plugin.hasSource())
            return;
        if (m_plugin.isFunction(name))
            answer(name);
    }
}

void CHostileSlave::refuse(const std::string& keyword)
{
    if (keyword == "void")
        throw lumo::CRemoteException(String("Remote Procedure not found on this computer"));
    sendString(*m_out, "notfound");
}

void CHostileSlave::answer(const std::string& name)
{
    if (!m_bLied && isLieTarget(name)) {
        m_bLied = true;
        tellLie(name);
        return;
    }
    send(*m_out, m_plugin.reply(name));
}

bool CHostileSlave::isLieTarget(const std::string& name) const
{
    const std::string_view target = entryOf(m_mode).lieTarget;
    return target == "*" ? m_plugin.hasSource() : target == name;
}

void CHostileSlave::tellLie(const std::string& name)
{
    switch (m_mode) {
    case Mode::halfReply: {
        const std::string reply = m_plugin.reply(name);
        send(*m_out, std::string_view(reply).substr(0, reply.size() / 2));
        silence();
    }
    case Mode::hugeLog:
        writeReplyHead(*m_out);
        m_out->writeUInt32(std::numeric_limits<int32_t>::max());
        fill(*m_out, std::numeric_limits<int32_t>::max(), 'x');
        silence();
    case Mode::countThenSilence:
        m_out->writeUInt32(std::numeric_limits<uint32_t>::max());
        silence();
    case Mode::drip:
        drip(*m_out, m_plugin.reply(name));
        return;
    case Mode::floodExtensions:
        floodExtensions(*m_out);
        return;
    case Mode::hugePicture:
        sendHugePicture(*m_out);
        silence();
    case Mode::hangInPicture:
        silence();
    case Mode::hangIgnoringReport:
        ignoreHangReportRequests();
        silence();
    case Mode::controlChars:
        sendString(*m_out, std::string(errorKeyword) + std::string(terminalEscapes));
        return;
    case Mode::hugeError:
        sendHugeError(*m_out);
        silence();
    case Mode::factsCount:
    case Mode::factsText:
    case Mode::factsNumber:
        sendLyingFacts(*m_out, m_mode);
        silence();
    default:
        return;
    }
}

void CHostileSlave::silence()
{
    // Alive, so that the master has to end it, but never past the master: a master that failed to end it must not leave
    // it behind for good. From namespaces of its own the master is out of sight; its end shows as the pipe's.
    if (!isProcessAlive(m_masterProcessID))
        holdPipeUntilClosed();
    while (isProcessAlive(m_masterProcessID))
        lumo::getThreadManager()->sleep(silencePollMs);
    std::_Exit(0);
}

void CHostileSlave::holdPipeUntilClosed()
{
    // Reads and drops what arrives, so that the master's closing is seen.
    try {
        for (;;)
            m_in->readUInt8();
    } catch (const lumo::CException&) {
    }
}

bool CHostileSlave::isSharedMode() const { return entryOf(m_mode).bShared; }

bool CHostileSlave::serveShared(const std::string& name)
{
    if (name == "offerSharedPictures") {
        takeSharedBuffers();
        writeReplyHead(*m_out);
        m_out->writeBool(!m_sharedBuffers.empty());
        return true;
    }
    if (name == "getNextSharedPicture") {
        // The released buffers: this stand-in keeps no count of them.
        m_in->readString();
        m_in->readInt32();
        sendSharedPicture();
        return true;
    }
    return false;
}

void CHostileSlave::takeSharedBuffers()
{
    m_sharedBuffers = lumo::castObject<lumo::ISharedMemoryChannel>(m_pipe)->takeSharedMemory();
    if (m_mode != Mode::sharedShrink)
        return;
    // The seals must refuse both; had either worked, the master's reads of the lost pages would fault.
    for (const lumo::P<lumo::ISharedMemory>& buffer : m_sharedBuffers) {
        if (tryResizing(*buffer))
            std::fprintf(stderr, "hostile nebo_slave: a shared buffer changed its size\n");
    }
}

void CHostileSlave::sendSharedPicture()
{
    std::vector<uint8_t> pixels;
    double timestamp = 0.0;
    writeReplyHead(*m_out);
    if (!m_plugin.takeNextPicture(pixels, timestamp)) {
        m_out->writeBool(true);
        return;
    }
    const int32_t count = int32_t(m_sharedBuffers.size());
    const int64_t bufferBytes = m_sharedBuffers.front()->getSize();
    int32_t index = m_mode == Mode::sharedHeldBuffer ? 0 : m_sharedPicturesSent % count;
    int64_t offset = 0;
    int32_t length = int32_t(pixels.size());
    std::memcpy(m_sharedBuffers[size_t(index)]->getData(), pixels.data(), pixels.size());
    if (!m_bLied) {
        m_bLied = true;
        if (m_mode == Mode::sharedBadIndex)
            index = count;
        else if (m_mode == Mode::sharedBadOffset)
            offset = bufferBytes - 16;
        else if (m_mode == Mode::sharedBadLength)
            --length;
    }
    ++m_sharedPicturesSent;
    m_out->writeBool(false);
    m_out->writeInt32(index);
    writePictureHead(*m_out, timestamp, m_plugin.getPictureWidth(), m_plugin.getPictureHeight());
    m_out->writeInt32(m_plugin.getPictureHeight());
    m_out->writeInt32(int32_t(offset));
    m_out->writeInt32(length);
    writeObjectEnd(*m_out);
}

} // namespace nebo::test
