#pragma once

#include "slave/CSlaveCommandLine.h"
#include "slave/ISlaveServices.h"

#include <exception>
#include <string>
#include <string_view>

namespace nebo::common {

// The slave's life from its command line to its exit code: build the log,
// context and plugins, connect to the master's pipe, serve until "Quit", and
// leave the error file telling the master how the run ended (absent after a
// clean run, holding the error's text after a failure).
class CSlave {
public:
    static constexpr int exitOk = 0;
    static constexpr int exitPipeNotReachable = -1;
    static constexpr int exitBadCommandLine = -4;

    explicit CSlave(ISlaveServices& services) : m_services(services) {}

    // What a launcher hands each child: what it made before it forked, and
    // the child's end of the pipe its master sent along.
    struct SLaunched {
        lumo::P<ILogManager> logManager;
        lumo::P<INEBContext> context;
        lumo::P<IPluginHandler> pluginHandler;
        // Set instead of the plugin handler when the plugin did not load.
        std::exception_ptr pluginFailure;
        lumo::P<lumo::IPipeClient> pipe;
    };

    // Runs the slave on the text after the program name. Never throws.
    int run(std::string_view commandLine);
    // The same run in a launcher's child, on what the launcher hands over
    // (the run takes it), from the slave's command line the master sent:
    // the log starts afresh, the crash filter takes the child's error file,
    // and the confinement the launcher put in force is narrowed to a
    // slave's before the child serves. A plugin that did not load fails
    // the run there, as loading fails a slave's. Never throws.
    int runChild(std::string_view commandLine, SLaunched launched);

    // Writes a message, in UTF-8, into the error file; when the file cannot
    // be opened, says so on the debug output instead.
    void writeErrorFile(const lumo::String& message);

private:
    enum class Outcome { clean, failed, pipeNotReachable };

    // What a run builds, released in reverse order. It outlives serve(): an
    // error a plugin raised must be handled and destroyed while the plugin's
    // library, which holds the error's code, is loaded.
    struct SRunObjects {
        lumo::P<ILogManager> logManager;
        lumo::P<INEBContext> context;
        lumo::P<IPluginHandler> pluginHandler;
        lumo::P<lumo::IPipeClient> pipe;
        lumo::P<ISlaveServer> server;

        void release();
    };

    Outcome serve(const CSlaveCommandLine& commandLine);
    Outcome serveChild(const CSlaveCommandLine& commandLine, const std::exception_ptr& pluginFailure);
    // Runs `serve`, turning what it throws into the error file's text, and
    // ends the run.
    template <class F> int runGuarded(F&& serve);
    void serveUntilQuit(ISlaveServer& server);
    void finish(Outcome outcome);
    // Into the run's log while it exists (unless debug output goes to standard error).
    void writeDebugOutput(const std::string& text);

    ISlaveServices& m_services;
    SRunObjects m_objects;
    std::string m_errorFilePath;
    // A launcher's child: its master, not the child, removes the error
    // file left empty.
    bool m_bLaunched = false;
};

} // namespace nebo::common
