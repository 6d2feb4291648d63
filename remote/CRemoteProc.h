#pragma once

#include "foundation/CObject.h"
#include "foundation/String.h"
#include "remote/CRemoteVar.h"

#include <vector>

namespace lumo {

class IDataInStream;
class IDataOutStream;

// A remote procedure: a name and an ordered list of parameters. The same
// class is made on both sides of a connection; the caller fills the
// parameters and hands the object to its endpoint, the serving side
// registers its own instance, which reads them and runs execute(). The
// order in which the constructor adds the parameters is their order on the
// wire. An instance carries no lock and serves one call at a time.
//
// Only CRemoteVoid (no reply) and CRemoteFunction (a reply with results)
// derive from it, so isVoid() tells which of the two a procedure is.
class CRemoteProc : public CObject {
public:
    using Variables = std::vector<P<CRemoteVar>>;

    const String& getName() const;
    // Appends a parameter and keeps a reference to it.
    void addParameter(P<CRemoteVar> parameter);
    // In the order they were added.
    const Variables& getParameters() const;

    // Each parameter's wire form, in order.
    void writeParameters(IDataOutStream& out) const;
    // Each parameter's read, in order; stops at the first that throws.
    void readParameters(IDataInStream& in) const;

    // The work of the procedure on the serving side; its parameters hold the
    // received values, a function leaves its answer in its results.
    virtual void execute() = 0;
    virtual bool isVoid() const = 0;

protected:
    static void writeVariables(const Variables& variables, IDataOutStream& out);
    static void readVariables(const Variables& variables, IDataInStream& in);

private:
    friend class CRemoteVoid;
    friend class CRemoteFunction;

    explicit CRemoteProc(const String& name);

    const String m_name;
    Variables m_parameters;
};

} // namespace lumo
