#include "slave/CSlave.h"

#include "foundation/CException.h"

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
    return String("std::exception\nErrorString: ") + String::fromCodePage(text ? text : "");
}

} // namespace

int CSlave::run(std::string_view commandLineText)
{
    const std::optional<CSlaveCommandLine> commandLine = CSlaveCommandLine::parse(commandLineText);
    if (!commandLine)
        return exitBadCommandLine;

    Outcome outcome;
    try {
        outcome = serve(*commandLine);
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

    P<lumo::IBase> logManager = m_services.createLogManager(commandLine.logLevel);
    P<lumo::IBase> context = m_services.createContext(logManager, pluginName);
    P<lumo::IBase> pluginHandler = m_services.createPluginHandler(context);

    // Written once, before the crash filter that reads it is installed.
    m_errorFilePath = m_services.getNativePath(errorFileURI);
    m_services.installCrashFilter(m_errorFilePath);

    P<lumo::IBase> pipe = m_services.connectPipe(pipeName);
    if (!pipe)
        return Outcome::pipeNotReachable;

    P<ISlaveServer> server = m_services.createServer(pipe, context);
    const P<lumo::ISignal> quit = server->getQuitSignal();
    while (!quit->isSet())
        server->processNext();

    server = nullptr;
    pipe = nullptr;
    pluginHandler = nullptr;
    context = nullptr;
    return Outcome::clean;
}

void CSlave::finish(Outcome outcome)
{
    m_services.writeDebugOutput(finalDebugLine);
    if (outcome == Outcome::clean) {
        try {
            if (m_services.fileExists(m_errorFilePath))
                m_services.deleteFile(m_errorFilePath);
        } catch (const lumo::CException& error) {
            m_services.writeDebugOutput(error.what());
        }
    }
    m_services.removeCrashFilter();
}

void CSlave::writeErrorFile(const String& message)
{
    std::FILE* file = m_errorFilePath.empty() ? nullptr : std::fopen(m_errorFilePath.c_str(), "wb");
    if (!file) {
        m_services.writeDebugOutput(errorFileNotWritable);
        return;
    }
    const std::string bytes = message.toCodePage();
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

} // namespace nebo::common
