#pragma once

#include "remote/CRemoteProc.h"

namespace lumo {

// A procedure whose caller waits for a reply carrying its results. Every
// function of the system has one result, named "Result".
class CRemoteFunction : public CRemoteProc {
public:
    bool isVoid() const final;

    // Appends a result and keeps a reference to it.
    void addResult(P<CRemoteVar> result);
    // In the order they were added.
    const Variables& getResults() const;

    void writeResults(IDataOutStream& out) const;
    void readResults(IDataInStream& in) const;

protected:
    explicit CRemoteFunction(const String& name);

private:
    Variables m_results;
};

} // namespace lumo
