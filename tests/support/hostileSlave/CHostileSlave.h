#pragma once

#include "CHonestPlugin.h"
#include "foundation/String.h"
#include "platform/IPipeClient.h"
#include "platform/ISharedMemory.h"
#include "streams/IDataInStream.h"
#include "streams/IDataOutStream.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nebo::test {

// A slave that connects to its master's pipe as nebo_slave does and serves the honest plugin, except for the one lie
// its mode names (CHostileSlave.cpp lists them). A lie that ends in silence never returns. One thread.
class CHostileSlave {
public:
    // clang-format off
    enum class Mode {
        honest, silent, halfReply, hugeLog, countThenSilence, drip, floodExtensions, hugePicture, hugeAnnounce,
        hugeError, controlChars, sparseErrorFile, forkedHolder, exitAtOnce, hangInPicture, hangIgnoringReport,
        smallPicture, factsCount, factsText, factsNumber,
        sharedHonest, sharedBadIndex, sharedBadOffset, sharedBadLength, sharedHeldBuffer, sharedShrink,
    };
    // clang-format on

    // The mode of that name; empty for a name that is none.
    static std::optional<Mode> parseMode(std::string_view name);

    // `errorFilePath` is the native path of the error file in UTF-8; empty when its URI named none.
    CHostileSlave(Mode mode, int masterProcessID, const std::string& errorFilePath);

    // Connects to the pipe of that name and plays the mode; returns the process's exit code (main.cpp and the modes
    // tell which), -1 when the pipe cannot be reached.
    int run(const lumo::String& pipeName);

private:
    // Serves until "Quit" ends it (before a source was made) or the connection fails, which throws.
    void serve();
    // A request for nothing served: "notfound" for a function, a thrown failure for a procedure, as nebo_slave does.
    void refuse(const std::string& keyword);
    void answer(const std::string& name);
    bool isLieTarget(const std::string& name) const;
    void tellLie(const std::string& name);

    [[noreturn]] void silence();
    void holdPipeUntilClosed();

    bool isSharedMode() const;
    // Serves the requests of shared pictures; false for any other.
    bool serveShared(const std::string& name);
    void takeSharedBuffers();
    void sendSharedPicture();

    const Mode m_mode;
    const int m_masterProcessID;
    const std::filesystem::path m_errorFile;
    CHonestPlugin m_plugin;
    bool m_bLied = false;
    lumo::P<lumo::IPipeClient> m_pipe;
    lumo::P<lumo::IDataInStream> m_in;
    lumo::P<lumo::IDataOutStream> m_out;
    std::vector<lumo::P<lumo::ISharedMemory>> m_sharedBuffers;
    int32_t m_sharedPicturesSent = 0;
};

} // namespace nebo::test
