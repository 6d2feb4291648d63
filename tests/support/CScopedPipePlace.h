#pragma once

#include "foundation/CObject.h"
#include "foundation/String.h"
#include "platform/IPipeClient.h"
#include "platform/IPipeServer.h"

#include <memory>
#include <string>

namespace lumo {

// Where the pipes of one test live, apart from those of every other test and program: names that no other scope hands
// out, and, where the platform keeps pipes in a folder, a fresh folder for the scope's length.
class CScopedPipePlace {
public:
    CScopedPipePlace();
    ~CScopedPipePlace();
    CScopedPipePlace(const CScopedPipePlace&) = delete;
    CScopedPipePlace& operator=(const CScopedPipePlace&) = delete;

    // The pipe name that stands for `word` in this scope.
    String nameOf(const std::string& word) const { return String::fromUTF8(m_prefix + word); }

private:
    // The platform's part; none where pipes have no folder.
    class CFolder;
    std::unique_ptr<CFolder> m_folder;
    std::string m_prefix;
};

// Connects a client while the server waits in acceptClient.
class CConnectingListener : public CObject, public virtual IPipeServer::IPipeCreatedListener {
public:
    explicit CConnectingListener(P<IPipeClient> client) : m_client(std::move(client)) {}
    bool pipeCreated() override { return m_client->connect(); }

private:
    P<IPipeClient> m_client;
};

// The server's end of a new connection from `client`.
inline P<IPipeClient> acceptFrom(IPipeServer& server, const P<IPipeClient>& client)
{
    return server.acceptClient(make<CConnectingListener>(client).get());
}

} // namespace lumo
