#include "slave/CSlave.h"

#include "foundation/CException.h"
#include "foundation/CFinishedError.h"

#include <cstdio>
#include <exception>

namespace nebo::common {

using lumo::P;
using lumo::String;

namespace {

const char* const finalDebugLine = "slave finished without any trouble after trycatch\n";
const char* const errorFileNotWritable = "nebo_slave.exe: Could not write to logfile";

String describe(const lumo::CException& error)
{
    return String("lumo::CException\nType: ") + String(error.getGeneralDescription()) + String("\ntext: ") +
           String(error.getDescription());
}

String describe(const std::exception& error)
{
    const char* text = error.what();
    return String("std::exception\nErrorString: ") + String::fromUTF8(text ? text : "");
}

} // namespace

int CSlave::run(std::string_view commandLineText)
{
    const std::optional<CSlaveCommandLine> commandLine = CSlaveCommandLine::parse(commandLineText);
    if (!commandLine)
        return exitBadCommandLine;
    return runGuarded([&] { return serve(*commandLine); });
}

int CSlave::runChild(std::string_view commandLineText, SLaunched launched)
{
    m_bLaunched = true;
    m_objects.logManager = std::move(launched.logManager);
    m_objects.context = std::move(launched.context);
    m_objects.pluginHandler = std::move(launched.pluginHandler);
    m_objects.pipe = std::move(launched.pipe);
    const std::optional<CSlaveCommandLine> commandLine = CSlaveCommandLine::parse(commandLineText);
    if (!commandLine) {
        m_objects.release();
        return exitBadCommandLine;
    }
    return runGuarded([&] { return serveChild(*commandLine, launched.pluginFailure); });
}

template <class F> int CSlave::runGuarded(F&& serve)
{
    Outcome outcome;
    try {
        outcome = serve();
    } catch (const lumo::CException& error) {
        writeErrorFile(describe(error));
        outcome = Outcome::failed;
    } catch (const std::exception& error) {
        writeErrorFile(describe(error));
        outcome = Outcome::failed;
    } catch (...) {
        writeErrorFile(String("unknown exception"));
        outcome = Outcome::failed;
    }
    m_objects.release();
    if (outcome == Outcome::pipeNotReachable)
        return exitPipeNotReachable;
    finish(outcome);
    return exitOk;
}

CSlave::Outcome CSlave::serve(const CSlaveCommandLine& commandLine)
{
    const String pipeName = String::fromLatin1(commandLine.pipeName);
    const String errorFileURI = String::fromLatin1(commandLine.errorFileURI);
    const String pluginName = String::fromLatin1(commandLine.pluginName);

    m_objects.logManager = m_services.createLogManager(commandLine.logLevel);
    m_objects.context = m_services.createContext(m_objects.logManager, pluginName);

    // Written once, before the crash filter that reads it is installed.
    m_errorFilePath = m_services.getNativePath(errorFileURI);
    m_services.installCrashFilter(m_errorFilePath);

    // Before connecting: the master's wait for the connection is the one
    // that allows for it.
    m_services.prepareHeap();
    m_objects.pipe = m_services.connectPipe(pipeName);
    if (!m_objects.pipe)
        return Outcome::pipeNotReachable;

    // The pipe is the last connection the slave makes; the plugin's
    // library, whose start is plugin code too, loads confined.
    m_services.confineProcess(m_objects.context);
    m_objects.pluginHandler = m_services.createPluginHandler(m_objects.context);
    m_objects.server = m_services.createServer(m_objects.pipe, m_objects.context, m_objects.pluginHandler);
    serveUntilQuit(*m_objects.server);
    m_objects.release();
    return Outcome::clean;
}

CSlave::Outcome CSlave::serveChild(const CSlaveCommandLine& commandLine, const std::exception_ptr& pluginFailure)
{
    // What the launcher logged is its own; the master takes the child's.
    m_objects.logManager->clearLog();
    m_objects.logManager->setLogLevel(commandLine.logLevel);
    m_errorFilePath = m_services.getNativePath(String::fromLatin1(commandLine.errorFileURI));
    m_services.installCrashFilter(m_errorFilePath);
    m_services.prepareHeap();
    m_services.confineChild(m_errorFilePath);
    if (pluginFailure)
        std::rethrow_exception(pluginFailure);
    m_objects.server = m_services.createServer(m_objects.pipe, m_objects.context, m_objects.pluginHandler);
    serveUntilQuit(*m_objects.server);
    m_objects.release();
    return Outcome::clean;
}

void CSlave::serveUntilQuit(ISlaveServer& server)
{
    const P<lumo::ISignal> quit = server.getQuitSignal();
    try {
        while (!quit->isSet())
            server.serveNext();
    } catch (const lumo::CFinishedError&) {
        // Once a source server took the pipe over, the master's "Quit"
        // stops only that server, and closing the pipe ends the run: a
        // clean end, not a lost pipe.
        if (!server.wasQuitReceived())
            throw;
    }
}

void CSlave::SRunObjects::release()
{
    server = nullptr;
    pipe = nullptr;
    pluginHandler = nullptr;
    context = nullptr;
    logManager = nullptr;
}

void CSlave::finish(Outcome outcome)
{
    writeDebugOutput(finalDebugLine);
    // A child's confinement lets it write its error file, never remove it:
    // trying would only cost it a refusal and an exception.
    if (outcome == Outcome::clean && !m_bLaunched) {
        try {
            if (m_services.fileExists(m_errorFilePath))
                m_services.deleteFile(m_errorFilePath);
        } catch (const lumo::CException& error) {
            writeDebugOutput(error.what());
        }
    }
    m_services.removeCrashFilter();
}

void CSlave::writeDebugOutput(const std::string& text)
{
    m_services.writeDebugOutput(text, m_objects.logManager.get());
}

void CSlave::writeErrorFile(const String& message)
{
    std::FILE* file = m_errorFilePath.empty() ? nullptr : std::fopen(m_errorFilePath.c_str(), "wb");
    if (!file) {
        writeDebugOutput(errorFileNotWritable);
        return;
    }
    const std::string bytes = message.toUTF8();
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

} // namespace nebo::common
