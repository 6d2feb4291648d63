#include "crashhandler/CHangReport.h"

#include "crashhandler/reportSections.h"

namespace crashhandler {

namespace {

const char* describeUnrecorded(EThreadOutcome outcome)
{
    switch (outcome) {
    case EThreadOutcome::silent:
        return "did not answer";
    case EThreadOutcome::ended:
        return "ended before it was asked";
    default:
        return "not asked, the report's time ran out";
    }
}

} // namespace

CHangReport::CHangReport(IReportSink& sink, const char* applicationName, const char* versionText,
                         const SModuleList& modules) noexcept
    : m_out(sink)
{
    m_out.text(applicationName).text(" ").text(versionText).text("\n");
    m_out.text("\n\nHang Report\n\n");
    m_out.text("The slave did not answer its master in time. The stacks of its threads follow, the one serving "
               "the master's calls first.\n\n");
    writeModules(m_out, modules);
    m_out.flush();
}

void CHangReport::addThread(const SHangThread& thread) noexcept
{
    m_out.text("Thread ").decimal(static_cast<uint64_t>(thread.id)).text(" \"").text(thread.name).text("\"");
    if (thread.bServing)
        m_out.text(", serving the master's calls");
    if (thread.outcome == EThreadOutcome::recorded && thread.context) {
        m_out.text(":\n\n");
        writeContext(m_out, *thread.context);
        writeStackDump(m_out, *thread.context);
    } else {
        m_out.text(": ").text(describeUnrecorded(thread.outcome)).text(".\n\n");
    }
    m_out.flush();
}

void CHangReport::finish(size_t leftOut) noexcept
{
    if (leftOut > 0)
        m_out.decimal(leftOut).text(leftOut == 1 ? " more thread" : " more threads").text(" left out.\n");
    m_out.flush();
}

} // namespace crashhandler
