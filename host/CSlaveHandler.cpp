#include "host/CSlaveHandler.h"

#include "foundation/CFileNotFoundError.h"
#include "host/CNEBError.h"
#include "host/CNEBPluginClient.h"
#include "platform/IPathes.h"
#include "platform/IPipeManager.h"
#include "platform/IProcessManager.h"
#include "platform/ISystem.h"
#include "platform/IThreadManager.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>

namespace nebo::common {

using lumo::make;
using lumo::P;
using lumo::String;

namespace {

// The slave program, beside the running one.
const char* const slaveProgramName = "nebo_slave";
const char* const errorFilePrefix = "nebo_slave_";
const char* const errorFileSuffix = "_log";
constexpr int errorFileOpenAttempts = 10;
constexpr uint32_t errorFileRetryMs = 500;
constexpr uint32_t slaveEndPollMs = 10;

// Tells the handlers of one process apart.
std::atomic<uint32_t> handlerCounter{0};

// The pipe's end tick counts milliseconds of the monotonic clock.
int64_t getTickCount()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void writeDebugOutput(const String& text)
{
    std::fputs(text.toCodePage().c_str(), stderr);
    std::fflush(stderr);
}

// The whole file, or nothing when it cannot be opened.
bool readWholeFile(const std::string& path, std::string& content)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    char chunk[4096];
    for (size_t got; (got = std::fread(chunk, 1, sizeof chunk, file)) > 0;)
        content.append(chunk, got);
    std::fclose(file);
    return true;
}

} // namespace

CSlaveHandler::CSlaveHandler(P<INEBContext> context, const String& pluginName, int32_t priority)
    : m_priority(priority), m_context(std::move(context)), m_pluginName(pluginName)
{
    const P<lumo::ISystem> system = lumo::getSystem();
    m_errorFile = system->createUniqueFile(*system->getTempDirectory(), String(errorFilePrefix),
                                           String(errorFileSuffix));
}

CSlaveHandler::~CSlaveHandler()
{
    stopSlave();
}

String CSlaveHandler::formatPipeName(uint32_t processID, uint32_t threadID, uint32_t handlerNumber)
{
    char name[64];
    std::snprintf(name, sizeof name, "nebo_slave-%08x-%08x-%08x", processID, threadID, handlerNumber);
    return String::fromLatin1(name);
}

String CSlaveHandler::buildCommandLine()
{
    const P<ILogManager> log = m_context->getLogManager();
    const int32_t logLevel = log ? log->getLogLevel() : 0;
    return String(" ") + String::fromInt(lumo::getCurrentProcessID()) + String(" ") + m_pipeName + String(" ") +
           m_pluginName + String(" ") + m_errorFile->getText() + String(" ") + String::fromInt(logLevel);
}

P<INEBPluginRemote> CSlaveHandler::getClient()
{
    if (!m_client)
        createSlave();
    return m_client;
}

void CSlaveHandler::createSlave()
{
    const auto threadID = static_cast<uint32_t>(lumo::getThreadManager()->getCurrentThreadID());
    m_pipeName = formatPipeName(lumo::getCurrentProcessID(), threadID, ++handlerCounter);
    m_pipeServer = lumo::getPipeManager()->createServer(m_pipeName);
    // A slave that dies before it connects must not keep the master waiting.
    m_pipeServer->setEndTick(getTickCount() + slaveConnectTimeoutMs);
    m_connection = m_pipeServer->acceptClient(this);
    if (!m_connection)
        throw CNEBError("CNEBPluginBoxed::createSlave: Client connection disappeared after connecting.");
    m_client = make<CNEBPluginClient>(m_connection->getInStream(), m_connection->getOutStream(),
                                      m_context->getMemoryManager());
    callIntoSlave([this] { takeStartUpLog(); });
}

void CSlaveHandler::takeStartUpLog()
{
    const P<ILogManager> log = m_context->getLogManager();
    if (!log)
        return;
    const String text = m_client->getLog();
    if (!text.isEmpty())
        log->logXml(log->getLogLevel(), text);
}

bool CSlaveHandler::pipeCreated()
{
    const P<lumo::ISystem> system = lumo::getSystem();
    const P<lumo::CURI> program =
        make<lumo::CURI>(lumo::CURI::escape(String(slaveProgramName)), system->getExecutableDirectory().get());
    const P<lumo::CURI> workingDirectory = system->getCurrentDirectory();
    m_process = lumo::getProcessManager()->createProcess(program, buildCommandLine(),
                                                         lumo::PFrail<lumo::IURI>(workingDirectory.get(), true),
                                                         lumo::PFrail<lumo::IBase>(), m_priority);
    return true;
}

void CSlaveHandler::checkForSlaveError()
{
    const P<lumo::ISystem> system = lumo::getSystem();
    try {
        if (!system->fileExists(*m_errorFile) || system->getFileSize(*m_errorFile) == 0)
            return;
    } catch (const lumo::CFileNotFoundError&) {
        // The slave ended cleanly and took its file along meanwhile.
        return;
    }
    writeDebugOutput(String("nebo_slave: crash crashlogfile: ") + m_errorFile->getText() + String("\n"));
    const String path = lumo::getPathes()->getNativePath(*m_errorFile, false);
    std::string content;
    for (int attempt = 1; attempt <= errorFileOpenAttempts; ++attempt) {
        if (readWholeFile(path.toUTF8(), content))
            throw CNEBError(String("CNEBPluginBoxed::checkForSlaveError: Error in nebo_slave:\n\n") +
                            String::fromCodePage(content));
        if (attempt < errorFileOpenAttempts)
            lumo::getThreadManager()->sleep(errorFileRetryMs);
    }
    throw CNEBError(String("CNEBPluginBoxed::checkForSlaveError: crash in slave, but errorfile could not be opened!") +
                    path);
}

bool CSlaveHandler::isServing()
{
    return m_process && !m_process->hasTerminated() && m_connection && m_connection->isConnected();
}

void CSlaveHandler::checkForSlaveFailure()
{
    if (!m_process || isServing())
        return;
    // The slave writes its error file on its way out: only its end makes the text complete.
    if (!waitForSlaveEnd()) {
        endSlave();
        waitForSlaveEnd();
    }
    checkForSlaveError();
    throw CNEBError(String("CNEBPluginBoxed::checkForSlaveFailure: nebo_slave ended with exit code ") +
                    String::fromInt(m_process->getExitCode()) + String(" and left no error text"));
}

void CSlaveHandler::endSlave()
{
    if (m_process)
        m_process->terminate();
}

bool CSlaveHandler::waitForSlaveEnd()
{
    const int64_t deadline = getTickCount() + slaveEndWaitMs;
    while (!m_process->hasTerminated()) {
        if (getTickCount() >= deadline)
            return false;
        lumo::getThreadManager()->sleep(slaveEndPollMs);
    }
    return true;
}

void CSlaveHandler::stopSlave() noexcept
{
    try {
        if (m_client && isServing())
            m_client->quit();
    } catch (const std::exception&) {
        // The slave is going anyway: the closed pipe or the kill below ends it.
    }
    m_client = nullptr;
    m_connection = nullptr;
    // Closes the pipe, which ends a slave whose source server ignores "Quit".
    m_pipeServer = nullptr;
    if (!m_process)
        return;
    try {
        // Seeing the end collects the child, so no zombie is left either.
        if (!waitForSlaveEnd()) {
            endSlave();
            waitForSlaveEnd();
        }
    } catch (const std::exception&) {
        // The process object hands an unfinished child to the reaper when released.
    }
}

} // namespace nebo::common
