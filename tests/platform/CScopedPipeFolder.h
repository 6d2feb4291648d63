#pragma once

#include "CTempFolder.h"
#include "foundation/CException.h"
#include "platform/IPipeClient.h"
#include "platform/IPipeServer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace lumo {

// Points the pipe folder at a fresh, not yet existing folder for one test
// and back at what it was afterwards.
class CScopedPipeFolder {
public:
    CScopedPipeFolder() : m_path(m_temp.pathOf("pipes"))
    {
        if (const char* previous = std::getenv("NEBO_PIPE_DIR"))
            m_previous = previous;
        setenv("NEBO_PIPE_DIR", m_path.c_str(), 1);
    }
    ~CScopedPipeFolder()
    {
        if (m_previous)
            setenv("NEBO_PIPE_DIR", m_previous->c_str(), 1);
        else
            unsetenv("NEBO_PIPE_DIR");
    }
    CScopedPipeFolder(const CScopedPipeFolder&) = delete;
    CScopedPipeFolder& operator=(const CScopedPipeFolder&) = delete;

    const std::string& getPath() const { return m_path; }
    std::string pathOf(const std::string& name) const { return m_path + "/" + name; }
    const CTempFolder& getTemp() const { return m_temp; }

private:
    CTempFolder m_temp;
    std::string m_path;
    std::optional<std::string> m_previous;
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

inline std::string descriptionOf(const CException& error)
{
    return error.getDescription()->toUTF8();
}

} // namespace lumo
