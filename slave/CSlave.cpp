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
    SRunObjects objects;
    try {
        outcome = serve(*commandLine, objects);
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
    objects.release();
    if (outcome == Outcome::pipeNotReachable)
        return exitPipeNotReachable;
    finish(outcome);
    return exitOk;
}

CSlave::Outcome CSlave::serve(const CSlaveCommandLine& commandLine, SRunObjects& objects)
{
    const String pipeName = String::fromLatin1(commandLine.pipeName);
    const String errorFileURI = String::fromLatin1(commandLine.errorFileURI);
    const String pluginName = String::fromLatin1(commandLine.pluginName);

    objects.logManager = m_services.createLogManager(commandLine.logLevel);
    objects.context = m_services.createContext(objects.logManager, pluginName);
    objects.pluginHandler = m_services.createPluginHandler(objects.context);

    // Written once, before the crash filter that reads it is installed.
    m_errorFilePath = m_services.getNativePath(errorFileURI);
    m_services.installCrashFilter(m_errorFilePath);

    objects.pipe = m_services.connectPipe(pipeName);
    if (!objects.pipe)
        return Outcome::pipeNotReachable;

    objects.server = m_services.createServer(objects.pipe, objects.context);
    const P<lumo::ISignal> quit = objects.server->getQuitSignal();
    while (!quit->isSet())
        objects.server->processNext();

    objects.release();
    return Outcome::clean;
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
