#pragma once

#include <string>
#include <sys/socket.h>
#include <sys/un.h>

namespace lumo {
class String;
}

namespace lumo::posix {

// Where the pipe with a given name lives: the local socket <folder>/<name>.
// The folder is $NEBO_PIPE_DIR when set, else $XDG_RUNTIME_DIR/nebo when
// that is set, else /tmp/nebo-<uid>; it is read from the environment when
// the address is made. Only the calling user may have the folder, so that
// nobody else can put a socket where ours are looked for.
class CPipeAddress {
public:
    // Throws CInvalidArgError for a name that is not one plain word of a
    // path (empty, ".", "..", or holding '/' or a zero byte), and
    // CException when the socket path is longer than a socket address holds.
    explicit CPipeAddress(const String& name);

    // The folder of this process's pipes, as the environment sets it now.
    static std::string folderOfThisProcess();

    const std::string& getFolder() const { return m_folder; }
    const std::string& getSocketPath() const { return m_socketPath; }
    sockaddr_un getSocketAddress() const;

    // Creates the folder with mode 0700 when it is missing. Throws CException
    // naming the folder when it cannot be made, is not a folder (a symbolic
    // link counts as none), belongs to another user or lets group or others
    // write in it.
    void ensureFolder() const;

private:
    std::string m_folder;
    std::string m_socketPath;
};

} // namespace lumo::posix
