#include "host/master/CSlaveHandler.h"

#include "foundation/CException.h"
#include "foundation/sync/getTickCount.h"
#include "host/common/CPluginFolders.h"
#include "host/common/debugOutput.h"
#include "host/common/getErrorText.h"
#include "host/common/isConfinementOff.h"
#include "host/master/CNEBPluginClient.h"
#include "host/master/CSlaveError.h"
#include "host/master/CSlaveLaunchers.h"
#include "host/master/describeSlaveEnd.h"
#include "host/master/summarizeSlaveError.h"
#include "host/wire/slaveEnvironment.h"
#include "platform/CProcessOptions.h"
#include "platform/IPathes.h"
#include "platform/IPipeManager.h"
#include "platform/IProcessManager.h"
#include "platform/ISystem.h"
#include "platform/IThreadManager.h"
#include "platform/isSystemVariable.h"
#include "remote/CRemoteException.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <string>

namespace nebo::common {

using lumo::make;
using lumo::P;
using lumo::String;

namespace {

const char* const errorFilePrefix = "nebo_slave_";
const char* const errorFileSuffix = "_log";
constexpr int errorFileOpenAttempts = 10;
constexpr uint32_t errorFileRetryMs = 500;
// How soon a slave that ends before it connects is noticed.
constexpr int32_t connectPollMs = 20;
// "info": every slave's end is worth a line.
constexpr int32_t slaveEndLogLevel = 2;

// Tells the handlers of one process apart.
std::atomic<uint32_t> handlerCounter{0};

// No secret of the master's reaches plugin code, and no library path
// changes what the slave loads; what the master sets itself is not passed on.
bool isPassedToSlaves(const std::string& name)
{
    static const char* const sanitizerNames[] = {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"};
    if (name == addressSpaceVariable || name == heapAheadVariable || name == CPluginFolders::pathVariable)
        return false;
    return lumo::isSystemVariable(name) || name.rfind("NEBO_", 0) == 0 ||
           std::any_of(std::begin(sanitizerNames), std::end(sanitizerNames),
                       [&](const char* sanitizer) { return name == sanitizer; });
}

// At most `limit` bytes from the start of the file; false when it cannot be
// opened.
bool readFileStart(const std::string& path, size_t limit, std::string& content)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    content.resize(limit);
    content.resize(std::fread(content.data(), 1, limit, file));
    std::fclose(file);
    return true;
}

String describeCut(int64_t fileSize, size_t shown, const String& path)
{
    return String::fromUTF8("\n\n[the error file holds " + std::to_string(fileSize) + " bytes; only the first " +
                            std::to_string(shown) + " are shown here; the whole text is in ") +
           path + String("]");
}

} // namespace

CSlaveHandler::CCallDeadline::CCallDeadline(CSlaveHandler& handler)
    : m_handler(handler), m_bOutermost(handler.m_callDeadline == 0 && handler.m_connection)
{
    if (!m_bOutermost)
        return;
    m_handler.m_callDeadline = lumo::getTickCount() + m_handler.m_limits.timeoutMs;
    m_handler.m_connection->setDeadline(m_handler.m_callDeadline);
}

CSlaveHandler::CCallDeadline::~CCallDeadline()
{
    if (!m_bOutermost)
        return;
    m_handler.m_callDeadline = 0;
    if (m_handler.m_connection)
        m_handler.m_connection->setDeadline(0);
}

CSlaveHandler::CSlaveHandler(P<INEBContext> context, const String& pluginName, int32_t priority)
    : m_priority(priority), m_context(std::move(context)), m_pluginName(pluginName),
      m_limits(m_context->getSlaveLimits())
{
    const P<lumo::ISystem> system = lumo::getSystem();
    // A launcher may write beneath its plugin's error folder only, so its
    // children's error files lie there.
    if (isLaunchable()) {
        m_launchersErrorFolder = CSlaveLaunchers::get()->getErrorFolder(m_pluginName);
        m_errorFile = CSlaveLaunchers::get()->takeKeptErrorFile(m_launchersErrorFolder);
    }
    if (!m_errorFile)
        m_errorFile =
            system->createUniqueFile(m_launchersErrorFolder ? *m_launchersErrorFolder : *system->getTempDirectory(),
                                     String(errorFilePrefix), String(errorFileSuffix));
}

CSlaveHandler::~CSlaveHandler()
{
    stopSlave();
    releaseEmptyErrorFile();
}

String CSlaveHandler::formatPipeName(uint32_t processID, uint32_t threadID, uint32_t handlerNumber)
{
    char name[64];
    std::snprintf(name, sizeof name, "nebo_slave-%08x-%08x-%08x", processID, threadID, handlerNumber);
    return String::fromLatin1(name);
}

void CSlaveHandler::checkPipePlace()
{
    // Every slave's pipe name has the length of this one.
    lumo::getPipeManager()->checkName(formatPipeName(UINT32_MAX, UINT32_MAX, UINT32_MAX));
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
    if (!startLaunchedSlave()) {
        m_pipeServer = lumo::getPipeManager()->createServer(m_pipeName);
        m_pipeServer->setEndTick(lumo::getTickCount() + m_limits.timeoutMs);
        m_pipeServer->setWaitInterval(connectPollMs);
        m_connection = m_pipeServer->acceptClient(this);
    }
    if (!m_connection)
        throw failedToConnect();
    m_client = make<CNEBPluginClient>(m_connection->getInStream(), m_connection->getOutStream(),
                                      m_context->getMemoryManager());
    m_client->setLimits(m_limits);
    callWithinLimit("getLog", [this] { takeStartUpLog(); });
}

void CSlaveHandler::startAhead(int64_t heapAheadBytes)
{
    m_bKeepsStartUpLog = true;
    m_heapAheadBytes = heapAheadBytes;
    getClient();
}

void CSlaveHandler::handOver(P<INEBContext> context)
{
    m_context = std::move(context);
    logStartUpLog(m_startUpLog);
    m_startUpLog = String();
}

void CSlaveHandler::takeStartUpLog()
{
    // Whoever takes over a slave started ahead may log where its starter
    // does not, so that one always asks.
    if (m_bKeepsStartUpLog)
        m_startUpLog = m_client->getLog();
    else if (m_context->getLogManager())
        logStartUpLog(m_client->getLog());
}

void CSlaveHandler::logStartUpLog(const String& text)
{
    const P<ILogManager> log = m_context->getLogManager();
    if (log && !text.isEmpty())
        log->logXml(log->getLogLevel(), text);
}

bool CSlaveHandler::isLaunchable() const
{
    // Only nebo_slave is known to launch; a stand-in the context names
    // starts as it is.
    const P<lumo::CURI> named = m_context->getSlaveProgram();
    return CSlaveLaunchers::isEnabled() &&
           (!named || std::filesystem::path(named->getText().toUTF8()).stem() == "nebo_slave");
}

P<lumo::CURI> CSlaveHandler::getSlaveProgram(const CPluginFolders& folders)
{
    if (P<lumo::CURI> program = m_context->getSlaveProgram())
        return program;
    return lumo::CURI::fromNativePath(String::fromUTF8(folders.findSlaveProgram()));
}

bool CSlaveHandler::startLaunchedSlave()
{
    if (!isLaunchable())
        return false;
    // A launcher's child is this very slave, forked from a process that
    // loaded the plugin already; its pipe and the heap ahead travel with the
    // request.
    const P<ILogManager> log = m_context->getLogManager();
    const CPluginFolders folders = CPluginFolders::ofThisProcess();
    std::optional<CSlaveLauncher::SChild> child = CSlaveLaunchers::get()->tryStart(
        getSlaveProgram(folders), m_pluginName, buildCommandLine(), *makeStartOptions(folders), m_priority,
        m_heapAheadBytes, log ? log->getLogLevel() : 0, m_limits.timeoutMs, log.get());
    if (!child)
        return false;
    m_process = child->process;
    m_connection = child->pipe;
    return true;
}

P<lumo::CProcessOptions> CSlaveHandler::makeStartOptions(const CPluginFolders& folders) const
{
    const P<lumo::CProcessOptions> options = make<lumo::CProcessOptions>();
    // Ending the group ends whatever the slave started, too.
    options->bOwnProcessGroup = true;
    options->bDiscardOutput = !isDebugOutputOnStderr();
    options->takeCallerVariables(&isPassedToSlaves);
    options->environment.push_back(std::string(addressSpaceVariable) + "=" +
                                   std::to_string(m_limits.maxSlaveAddressSpace));
    // The slave looks in the master's plugin folders first, so that it loads
    // the very library the master chose, wherever the two programs lie.
    options->environment.push_back(std::string(CPluginFolders::pathVariable) + "=" + folders.toPathSetting());
    // What the master keeps open, other slaves' pipes among it, is no business of
    // this slave.
    options->bInheritOnlyStandardDescriptors = true;
    // A plugin must neither read the user's keys nor push keys of its own
    // into the user's shell.
    options->bNoTerminal = true;
    // Whatever the slave starts ends with it, and it reaches no network.
    options->bOwnNamespaces = !nebo::common::isConfinementOff();
    return options;
}

bool CSlaveHandler::pipeCreated()
{
    const CPluginFolders folders = CPluginFolders::ofThisProcess();
    const P<lumo::CProcessOptions> options = makeStartOptions(folders);
    if (m_heapAheadBytes > 0)
        options->environment.push_back(std::string(heapAheadVariable) + "=" + std::to_string(m_heapAheadBytes));
    const P<lumo::CURI> workingDirectory = lumo::getSystem()->getCurrentDirectory();
    m_process = lumo::getProcessManager()->createProcess(getSlaveProgram(folders), buildCommandLine(),
                                                         lumo::PFrail<lumo::IURI>(workingDirectory.get(), true),
                                                         lumo::PFrail<lumo::IBase>(options.get(), true), m_priority);
    return true;
}

bool CSlaveHandler::isExpectedPeer(uint32_t processID) { return m_process && m_process->getID() == processID; }

bool CSlaveHandler::isStillAwaited() { return m_process && !m_process->hasTerminated(); }

void CSlaveHandler::checkForSlaveError()
{
    if (const std::optional<SErrorText> error = readErrorText())
        throw CSlaveError(String("CNEBPluginBoxed::checkForSlaveError: Error in nebo_slave:\n\n") + error->text,
                          error->summary, error->path);
}

std::optional<CSlaveHandler::SErrorText> CSlaveHandler::readErrorText()
{
    const P<lumo::ISystem> system = lumo::getSystem();
    int64_t fileSize = 0;
    try {
        // Asked before most calls into the slave: one look at the file.
        fileSize = system->getFileSize(*m_errorFile);
    } catch (const lumo::CException&) {
        // Gone after a clean end, or out of the master's sight: no text to read.
        return std::nullopt;
    }
    if (fileSize <= 0)
        return std::nullopt;
    writeDebugOutput(m_context->getLogManager().get(),
                     String("nebo_slave: crash crashlogfile: ") + m_errorFile->getText() + String("\n"));
    const String path = lumo::getPathes()->getNativePath(*m_errorFile, false);
    const auto limit = static_cast<size_t>(std::max(m_limits.maxErrorFileBytes, 0));
    std::string content;
    for (int attempt = 1; attempt <= errorFileOpenAttempts; ++attempt) {
        if (readFileStart(path.toUTF8(), limit, content)) {
            String text = String::fromUTF8(content);
            if (fileSize > static_cast<int64_t>(content.size()))
                text = text + describeCut(fileSize, content.size(), path);
            return SErrorText{text, String::fromUTF8(summarizeSlaveError(content)), path};
        }
        if (attempt < errorFileOpenAttempts)
            lumo::getThreadManager()->sleep(errorFileRetryMs);
    }
    throw CNEBError(String("CNEBPluginBoxed::checkForSlaveError: crash in slave, "
                           "but errorfile could not be opened!") +
                    path);
}

bool CSlaveHandler::isServing()
{
    return m_process && !m_process->hasTerminated() && m_connection && m_connection->isConnected();
}

void CSlaveHandler::checkForSlaveFailure()
{
    if (!m_process || m_bEndedByMaster || isServing())
        return;
    // The slave writes its error file on its way out: only its end makes
    // the text complete. Then whatever is left of it, or of what it
    // started, goes, so that nothing holds its pipe open.
    waitForSlaveEnd();
    endSlave();
    waitForSlaveEnd();
    recordEnd();
    checkForSlaveError();
    throw CNEBError(String("CNEBPluginBoxed::checkForSlaveFailure: nebo_slave "
                           "ended with exit code ") +
                    String::fromInt(m_process->getExitCode()) + String(" and left no error text"));
}

CNEBError CSlaveHandler::failedToConnect()
{
    if (m_process && !m_process->hasTerminated()) {
        endSlave();
        return CNEBError(String::fromUTF8("CSlaveHandler: nebo_slave did not connect within " +
                                          std::to_string(m_limits.timeoutMs) + " ms and was ended"));
    }
    // A slave that ended before it connected may have said why.
    checkForSlaveFailure();
    return CNEBError(String("CNEBPluginBoxed::createSlave: Client connection "
                            "disappeared after connecting."));
}

void CSlaveHandler::throwForTimeLimit(const char* what)
{
    const String limitText = String::fromUTF8(std::string("CSlaveHandler: nebo_slave did not answer \"") + what +
                                              "\" within " + std::to_string(m_limits.timeoutMs) + " ms and was ended");
    const bool bReported = askForHangReport();
    endSlave();
    // Only a slave that ended by itself has finished its report.
    const std::optional<SErrorText> report = bReported ? readErrorText() : std::nullopt;
    if (!report)
        throw CNEBError(limitText);
    throw CSlaveError(limitText + String("\n\n") + report->text, limitText + String("\n") + report->summary,
                      report->path);
}

bool CSlaveHandler::askForHangReport()
{
    // Whatever fails from now on is the master's doing.
    m_bEndedByMaster = true;
    if (!m_process)
        return false;
    // The slave ends itself after its report, but only because it was asked.
    if (!m_process->hasTerminated())
        m_bKilledRunningSlave = true;
    m_process->requestHangReport();
    return waitForSlaveEnd(hangReportWaitMs);
}

bool CSlaveHandler::breaksTheProtocol(const lumo::CException& error)
{
    // An "Error:" reply or a "notfound" is read whole: the pipe stays in step.
    if (const auto* remote = dynamic_cast<const lumo::CRemoteException*>(&error)) {
        if (remote->isProcedureNotFound() || getErrorText(error).toUTF8().find("Error:") != std::string::npos)
            return false;
    }
    return isServing();
}

CNEBError CSlaveHandler::endForBrokenAnswer(const char* what, const lumo::CException& error)
{
    endSlave();
    return CNEBError(String::fromUTF8(std::string("CSlaveHandler: the answer of nebo_slave to \"") + what +
                                      "\" was refused and the slave was ended: ") +
                     getErrorText(error));
}

void CSlaveHandler::endSlave()
{
    m_bEndedByMaster = true;
    if (m_process) {
        if (!m_process->hasTerminated())
            m_bKilledRunningSlave = true;
        m_process->terminate();
    }
    if (m_connection)
        m_connection->disconnect();
}

bool CSlaveHandler::waitForSlaveEnd(int32_t waitMs)
{
    return m_process->waitForEnd(static_cast<uint32_t>(std::max(0, std::min(waitMs, m_limits.timeoutMs))));
}

void CSlaveHandler::stopSlave() noexcept
{
    try {
        if (m_client && isServing()) {
            const CCallDeadline deadline(*this);
            m_client->quit();
        }
    } catch (const std::exception&) {
        // The slave is going anyway: the closed pipe or the kill below ends it.
    }
    m_client = nullptr;
    // Closes the pipe, which ends a slave whose source server ignores "Quit".
    m_connection = nullptr;
    m_pipeServer = nullptr;
    if (!m_process)
        return;
    try {
        // Whatever is left of the slave, or of what it started, goes; seeing
        // the end collects the child, so no zombie is left either.
        if (!waitForSlaveEnd())
            m_bKilledRunningSlave = true;
        m_process->terminate();
        waitForSlaveEnd();
        recordEnd();
    } catch (const std::exception&) {
        // The process object hands an unfinished child to the reaper when released.
    }
}

std::optional<lumo::SProcessEnd> CSlaveHandler::finish()
{
    stopSlave();
    return m_end;
}

void CSlaveHandler::recordEnd() noexcept
{
    lumo::SProcessEnd end;
    if (m_end || !m_process->getEnd(end))
        return;
    if (m_bKilledRunningSlave)
        end.cause = String("ended by the master");
    m_end = end;
    try {
        if (const P<ILogManager> log = m_context->getLogManager())
            log->logText(slaveEndLogLevel, String("nebo_slave ") + String::fromInt(m_process->getID()) + String(" (") +
                                               m_pluginName + String("): ") + describeSlaveEnd(end));
    } catch (const std::exception&) {
        // The log is for people; the end is kept all the same.
    }
}

void CSlaveHandler::releaseEmptyErrorFile() noexcept
{
    // A file the slave wrote to is kept for the master to read; an empty one
    // tells nothing. It serves the plugin's next slave when this one was
    // seen to end well, else it goes rather than litter the folder.
    try {
        const P<lumo::ISystem> system = lumo::getSystem();
        if (system->getFileSize(*m_errorFile) != 0)
            return;
        if (m_launchersErrorFolder && m_end && m_end->exitCode == 0 && !m_bKilledRunningSlave)
            CSlaveLaunchers::get()->keepErrorFile(m_launchersErrorFolder, m_errorFile);
        else
            system->deleteFile(*m_errorFile);
    } catch (const std::exception&) {
        // Another process removed it meanwhile.
    }
}

} // namespace nebo::common
