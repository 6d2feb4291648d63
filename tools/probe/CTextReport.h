#pragma once

#include "tools/probe/IProbeListener.h"

#include <ostream>
#include <string>

namespace nebo::probe {

// Tells people of a probe as it goes: the facts as "Key: value" lines, and
// the errors and warnings, each on a line of its own that starts with
// `errorPrefix` ("nebo_probe: "). Texts of a slave's choosing are escaped.
// Used by the probe's thread.
class CTextReport : public IProbeListener {
public:
    // `facts` (null for none, when another form reports them) and `errors`
    // must outlive the report. With `bPrintLog` the log closes the facts.
    CTextReport(std::ostream* facts, std::ostream& errors, std::string errorPrefix, bool bPrintLog);

    void onStep(EProbeStep step, const SMediumReport& report) override;

private:
    void printFacts(EProbeStep step, const SMediumReport& report);
    void printDescription(const SMediumReport& report);
    void printDecoding(const SMediumReport& report);
    void printSlaves(const SMediumReport& report);
    void printFact(const std::string& key, const std::string& value);
    void printError(const SProbeError& error);
    void printEnd(const SMediumReport& report);

    std::ostream* const m_facts;
    std::ostream& m_errors;
    const std::string m_errorPrefix;
    const bool m_bPrintLog;
};

} // namespace nebo::probe
