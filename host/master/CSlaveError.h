#pragma once

#include "media/CNEBError.h"

namespace nebo::common {

// A slave's failure as its master reports it. The description is the text
// the slave left (cut to the master's limit); the summary is a few lines for
// people, for a crash the exception, address, module and first frames; the
// error file is where the whole text stays. Each may hold bytes of the
// slave's choosing: escape them before they reach a terminal.
class CSlaveError : public CNEBError {
public:
    // `errorFilePath` is empty when no file holds more than the description.
    CSlaveError(const lumo::String& description, const lumo::String& summary, const lumo::String& errorFilePath);

    lumo::P<lumo::CException> clone() const override;
    const lumo::String& getSummary() const { return m_summary; }
    const lumo::String& getErrorFilePath() const { return m_errorFilePath; }

private:
    lumo::String m_summary;
    lumo::String m_errorFilePath;
};

} // namespace nebo::common
