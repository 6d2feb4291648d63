#include "host/master/CSlaveLauncher.h"

#include "foundation/sync/getTickCount.h"
#include "host/master/CLaunchedProcess.h"
#include "media/CNEBError.h"
#include "platform/IPathes.h"
#include "platform/IPipeManager.h"
#include "platform/IProcessHandle.h"
#include "platform/IProcessManager.h"
#include "platform/ISystem.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

namespace nebo::common {

using lumo::make;
using lumo::P;
using lumo::String;

namespace {

// How soon a launcher that ends before it connects is noticed.
constexpr int32_t connectPollMs = 20;
// Of a launcher's error file, what the log gets.
constexpr size_t maxFailureBytes = 4096;

std::atomic<uint32_t> launcherCounter{0};

String formatControlPipeName()
{
    char name[64];
    std::snprintf(name, sizeof name, "nebo_launcher-%08x-%08x", lumo::getCurrentProcessID(), ++launcherCounter);
    return String::fromLatin1(name);
}

} // namespace

CSlaveLauncher::CSlaveLauncher(const P<lumo::CURI>& program, const String& pluginName, const P<lumo::CURI>& errorFolder,
                               const lumo::CProcessOptions& options, int32_t logLevel, int32_t timeoutMs)
    : m_program(program), m_lastUse(lumo::getTickCount())
{
    // The options are copied field by field: an object's identity is its own.
    m_options.bOwnProcessGroup = options.bOwnProcessGroup;
    m_options.bDiscardOutput = options.bDiscardOutput;
    m_options.bOwnEnvironment = options.bOwnEnvironment;
    m_options.environment = options.environment;
    m_options.bInheritOnlyStandardDescriptors = options.bInheritOnlyStandardDescriptors;
    m_options.bNoTerminal = options.bNoTerminal;
    m_options.bOwnNamespaces = options.bOwnNamespaces;
    // Resolved once in the launcher, not again in each child.
    m_options.bResolveAllAtStart = true;
    const P<lumo::ISystem> system = lumo::getSystem();
    m_errorFile = system->createUniqueFile(*errorFolder, String("nebo_launcher_"), String("_log"));
    const String pipeName = formatControlPipeName();
    m_arguments = String("--launcher ") + String::fromInt(lumo::getCurrentProcessID()) + String(" ") + pipeName +
                  String(" ") + pluginName + String(" ") + m_errorFile->getText() + String(" ") +
                  String::fromInt(logLevel);
    try {
        m_server = lumo::getPipeManager()->createServer(pipeName);
        m_server->setEndTick(lumo::getTickCount() + timeoutMs);
        m_server->setWaitInterval(connectPollMs);
        m_connection = m_server->acceptClient(this);
        if (!m_connection)
            throw CNEBError(String("CSlaveLauncher: the launcher did not connect: ") + readFailure());
        m_channel = lumo::createLauncherChannel(m_connection, m_process->getID());
        if (!m_channel)
            throw CNEBError(String("CSlaveLauncher: this platform has no launchers"));
    } catch (...) {
        end();
        throw;
    }
}

CSlaveLauncher::~CSlaveLauncher()
{
    m_channel = nullptr;
    m_connection = nullptr;
    m_server = nullptr;
    if (m_process) {
        try {
            // A launcher whose master closed the pipe ends by itself once its
            // children have; one that does not is killed.
            if (!m_process->waitForEnd(endWaitMs))
                m_process->terminate();
            m_process->waitForEnd(endWaitMs);
        } catch (const std::exception&) {
            // The process object hands the launcher to the reaper.
        }
    }
    removeEmptyErrorFile();
}

void CSlaveLauncher::removeEmptyErrorFile() noexcept
{
    try {
        const P<lumo::ISystem> system = lumo::getSystem();
        if (m_errorFile && system->fileExists(*m_errorFile) && system->getFileSize(*m_errorFile) == 0)
            system->deleteFile(*m_errorFile);
    } catch (const std::exception&) {
        // Gone already.
    }
}

bool CSlaveLauncher::pipeCreated()
{
    m_process = lumo::getProcessManager()->createProcess(m_program, m_arguments, lumo::PFrail<lumo::IURI>(),
                                                         lumo::PFrail<lumo::IBase>(&m_options, true),
                                                         lumo::IProcess::priorityNormal);
    return true;
}

bool CSlaveLauncher::isExpectedPeer(uint32_t processID) { return m_process && m_process->getID() == processID; }

bool CSlaveLauncher::isStillAwaited() { return m_process && !m_process->hasTerminated(); }

std::optional<CSlaveLauncher::SChild> CSlaveLauncher::startChild(const String& arguments, int32_t priority,
                                                                 int64_t heapAheadBytes, int32_t timeoutMs)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_bBroken)
        return std::nullopt;
    lumo::IForkServer::SRequest request;
    const std::string text = arguments.toUTF8();
    if (text.size() >= sizeof request.arguments)
        return std::nullopt;
    std::memcpy(request.arguments, text.data(), text.size());
    request.number = ++m_nextNumber;
    request.priority = priority;
    request.heapAheadBytes = heapAheadBytes;
    const int64_t deadline = lumo::getTickCount() + timeoutMs;
    P<lumo::IPipeClient> pipe;
    try {
        pipe = m_channel->sendRequest(request);
        m_live.insert(request.number);
        ++m_childCount;
        m_lastUse = lumo::getTickCount();
        while (!m_started.count(request.number) && !m_failed.count(request.number)) {
            if (!takeReport(deadline)) {
                breakOff();
                return std::nullopt;
            }
        }
    } catch (const std::exception&) {
        breakOff();
        return std::nullopt;
    }
    if (m_failed.erase(request.number)) {
        m_live.erase(request.number);
        return std::nullopt;
    }
    const uint32_t processID = m_started[request.number];
    m_started.erase(request.number);
    P<lumo::IProcessHandle> handle = lumo::openProcessHandle(processID, m_process->getID());
    // A child that is gone already has been reaped: its launcher reports
    // its end. One that is no child of the launcher is a lie, and the
    // launcher cannot be trusted with the next.
    if (!handle && !hasEnded(request.number, lumo::getTickCount() + endReportWaitMs)) {
        breakOff();
        return std::nullopt;
    }
    lock.unlock();
    return SChild{make<CLaunchedProcess>(P<CSlaveLauncher>(this), request.number, handle, processID, priority), pipe};
}

bool CSlaveLauncher::takeReport(int64_t deadlineTick)
{
    const std::optional<lumo::ILauncherChannel::SReport> report = m_channel->receiveReport(deadlineTick);
    if (!report)
        return false;
    using EKind = lumo::ILauncherChannel::SReport::EKind;
    const bool bKnown = m_live.count(report->number) != 0;
    const bool bRepeated =
        m_started.count(report->number) || m_failed.count(report->number) || m_ended.count(report->number);
    if (!bKnown || bRepeated)
        throw CNEBError(String("CSlaveLauncher: a report on a child the launcher was not asked for"));
    if (report->kind == EKind::started)
        m_started[report->number] = report->processID;
    else if (report->kind == EKind::failed)
        m_failed.insert(report->number);
    else {
        if (report->end.exitCode != 0)
            m_bRetired = true;
        if (!m_forgotten.erase(report->number))
            m_ended[report->number] = report->end;
        m_live.erase(report->number);
    }
    return true;
}

bool CSlaveLauncher::hasEnded(uint32_t number, int64_t deadlineTick)
{
    try {
        while (!m_ended.count(number)) {
            if (m_bBroken || !m_live.count(number) || !takeReport(deadlineTick))
                return false;
        }
        return true;
    } catch (const std::exception&) {
        breakOff();
        return false;
    }
}

bool CSlaveLauncher::waitForChildEnd(uint32_t number, int64_t deadlineTick, lumo::SProcessEnd& end)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!hasEnded(number, deadlineTick))
        return false;
    end = m_ended[number];
    m_ended.erase(number);
    return true;
}

void CSlaveLauncher::forgetChild(uint32_t number)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_ended.erase(number);
    m_started.erase(number);
    // Its end report may still come: it is known, and then dropped.
    if (m_live.count(number))
        m_forgotten.insert(number);
}

bool CSlaveLauncher::isUsable()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return !m_bBroken && !m_bRetired && !m_process->hasTerminated() && m_childCount < maxChildren &&
           lumo::getTickCount() - m_lastUse < maxIdleMs;
}

String CSlaveLauncher::readFailure()
{
    try {
        std::ifstream file(lumo::getPathes()->getNativePath(*m_errorFile, false).toUTF8(), std::ios::binary);
        std::string text(maxFailureBytes, '\0');
        file.read(text.data(), static_cast<std::streamsize>(text.size()));
        text.resize(static_cast<size_t>(file.gcount()));
        return String::fromUTF8(text);
    } catch (const std::exception&) {
        return String();
    }
}

void CSlaveLauncher::breakOff() noexcept
{
    m_bBroken = true;
    if (m_process)
        m_process->terminate();
    m_live.clear();
}

void CSlaveLauncher::end() noexcept
{
    std::lock_guard<std::mutex> lock(m_mutex);
    breakOff();
    try {
        // Killed, it writes nothing more: an empty error file can go now.
        if (m_process && m_process->waitForEnd(endWaitMs))
            removeEmptyErrorFile();
    } catch (const std::exception&) {
        // The destructor tries again.
    }
}

} // namespace nebo::common
