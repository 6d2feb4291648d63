// nebo_probe: opens a medium through the plugins beside it, each boxed in
// a slave, and tells people what it found. See getUsageText().
#include "foundation/CException.h"
#include "foundation/escapeControlCharacters.h"
#include "host/CSlaveError.h"
#include "host/ILogManager.h"
#include "tools/probe/CMediaProbe.h"
#include "tools/probe/CUsageError.h"
#include "tools/probe/cutForDisplay.h"
#include "tools/probe/isErrorOutputTerminal.h"
#include "tools/probe/makeProbeContext.h"
#include "tools/probe/toMediaURI.h"

#include <iostream>
#include <optional>

namespace {

using namespace nebo::probe;

constexpr int exitSucceeded = 0;
constexpr int exitFailed = 1;
constexpr int exitBadUsage = 2;

// What is shown of an error text unless --verbose asks for all of it.
constexpr size_t shownErrorBytes = 4096;
constexpr size_t shownErrorLines = 40;

// Texts of errors may come from a slave: they are escaped, and lines after
// the first are indented.
void reportError(const std::string& title, const std::string& message)
{
    std::cout.flush();
    std::cerr << "nebo_probe: " << lumo::escapeControlCharacters(title) << ": "
              << lumo::escapeControlCharacters(message, "  ") << std::endl;
}

// A slave's failure by its summary and where its whole report is, unless
// the user asked for everything.
std::string describeError(const lumo::CException& error, bool bVerbose)
{
    const std::string description = error.getDescription()->toUTF8();
    if (bVerbose)
        return description;
    const auto* slaveError = dynamic_cast<const nebo::common::CSlaveError*>(&error);
    if (!slaveError || slaveError->getSummary().isEmpty())
        return cutForDisplay(description, shownErrorBytes, shownErrorLines);
    std::string text = "the slave failed:\n" + slaveError->getSummary().toUTF8();
    if (!slaveError->getErrorFilePath().isEmpty())
        text += "\nThe whole report: " + slaveError->getErrorFilePath().toUTF8() + " (--verbose prints it)";
    return text;
}

void printLog(nebo::common::INEBContext& context)
{
    const std::string text = context.getLogManager()->getLogText().toUTF8();
    std::cout << "Log:\n" << lumo::escapeControlCharacters(text) << std::flush;
}

int runProbe(const CProbeOptions& options, const lumo::IURI& uri)
{
    lumo::P<nebo::common::INEBContext> context;
    // Outlives the errors it throws, whose texts may live in a plugin's
    // library until the probe unloads it.
    std::optional<CMediaProbe> probe;
    int status = exitSucceeded;
    try {
        context = makeProbeContext(options);
        probe.emplace(context, std::cout, isErrorOutputTerminal() ? &std::cerr : nullptr);
        probe->run(uri, options);
    } catch (const lumo::CException& error) {
        reportError(error.getGeneralDescription()->toUTF8(), describeError(error, options.bVerbose));
        status = exitFailed;
    } catch (const std::exception& error) {
        reportError("failure", error.what());
        status = exitFailed;
    }
    probe.reset();
    if (options.bPrintLog && context)
        printLog(*context);
    else if (status != exitSucceeded)
        std::cerr << "nebo_probe: --log shows what the plugins reported" << std::endl;
    return status;
}

int usageFailed(const lumo::CException& error)
{
    std::cerr << "nebo_probe: " << error.getDescription()->toUTF8() << "\n"
              << "Try 'nebo_probe --help'." << std::endl;
    return exitBadUsage;
}

} // namespace

int main(int argc, char** argv)
{
    CProbeOptions options;
    lumo::P<lumo::CURI> uri;
    try {
        options = CProbeOptions::parse({argv + 1, argv + argc});
        if (options.bHelp) {
            std::cout << getUsageText();
            return exitSucceeded;
        }
        uri = toMediaURI(options.target);
    } catch (const lumo::CException& error) {
        return usageFailed(error);
    }
    return runProbe(options, *uri);
}
