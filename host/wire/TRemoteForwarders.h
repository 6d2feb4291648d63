#pragma once

#include "remote/CRemoteFunction.h"
#include "remote/CRemoteStreamClient.h"
#include "remote/CRemoteVoid.h"

#include <tuple>

namespace nebo::common {

// Remote operations that forward to one operation of a served object.
//
// The same class serves both ends of a connection: the server registers an
// instance made for its target, whose execute() runs the operation; a
// client makes one without a target, fills the parameters and calls it.
// The target is not counted: the server that registers the operation owns
// it, so counting would make a cycle.

// A function without parameters whose "Result" is what `Operation` answers.
template <class Target, class ResultVar, auto Operation>
class TForwardingFunction : public lumo::CRemoteFunction {
public:
    TForwardingFunction(const lumo::String& name, Target* target) : CRemoteFunction(name), m_target(target)
    {
        addResult(result);
    }

    void execute() override { result->setValue((m_target->*Operation)()); }

    const lumo::P<ResultVar> result = lumo::make<ResultVar>("Result");

private:
    Target* const m_target;
};

// A procedure whose parameters, in wire order, are the arguments of
// `Operation`.
template <class Target, auto Operation, class... ParameterVars>
class TForwardingProc : public lumo::CRemoteVoid {
public:
    template <class... Names>
    TForwardingProc(const lumo::String& name, Target* target, const Names&... parameterNames)
        : CRemoteVoid(name), parameters(lumo::make<ParameterVars>(parameterNames)...), m_target(target)
    {
        static_assert(sizeof...(Names) == sizeof...(ParameterVars), "one name per parameter");
        std::apply([this](const auto&... parameter) { (addParameter(parameter), ...); }, parameters);
    }

    void execute() override
    {
        std::apply([this](const auto&... parameter) { (m_target->*Operation)(parameter->getValue()...); },
                   parameters);
    }

    // The caller's side: fills the parameters in wire order.
    template <class... Values> void setArguments(const Values&... values)
    {
        std::apply([&](const auto&... parameter) { (parameter->setValue(values), ...); }, parameters);
    }

    const std::tuple<lumo::P<ParameterVars>...> parameters;

private:
    Target* const m_target;
};

// The caller's side of a parameterless function: calls it on `client` and
// returns its result value. Throws what the call throws.
template <class Function> auto callRemote(lumo::CRemoteStreamClient& client)
{
    Function function;
    client.call(function);
    return function.result->getValue();
}

// The caller's side of a procedure: sends it with `arguments` in wire order.
template <class Proc, class... Values> void sendRemote(lumo::CRemoteStreamClient& client, const Values&... arguments)
{
    Proc proc;
    proc.setArguments(arguments...);
    client.call(proc);
}

} // namespace nebo::common
