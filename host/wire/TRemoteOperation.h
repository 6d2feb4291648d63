#pragma once

#include "foundation/CURI.h"
#include "remote/CRemoteFunction.h"
#include "remote/CRemoteStreamClient.h"
#include "remote/CRemoteVarBool.h"
#include "remote/CRemoteVarDouble.h"
#include "remote/CRemoteVarInteger.h"
#include "remote/CRemoteVarObject.h"
#include "remote/CRemoteVarString.h"
#include "remote/CRemoteVarURI.h"
#include "remote/CRemoteVoid.h"

#include <array>
#include <tuple>
#include <type_traits>
#include <utility>

namespace nebo::common {

// The result and parameter types of a member function.
template <class Member> struct TMemberTraits;
template <class Class, class ResultType, class... Arguments> struct TMemberTraits<ResultType (Class::*)(Arguments...)> {
    using Result = ResultType;
    using Parameters = std::tuple<std::decay_t<Arguments>...>;
};

// The remote variable that carries a value of type T: numbers, flags,
// strings and URIs as themselves, any other counted object as a
// serialisable object.
template <class T> struct TRemoteVarOf;
template <> struct TRemoteVarOf<bool> {
    using type = lumo::CRemoteVarBool;
};
template <> struct TRemoteVarOf<int32_t> {
    using type = lumo::CRemoteVarInteger;
};
template <> struct TRemoteVarOf<double> {
    using type = lumo::CRemoteVarDouble;
};
template <> struct TRemoteVarOf<lumo::String> {
    using type = lumo::CRemoteVarString;
};
template <> struct TRemoteVarOf<lumo::P<lumo::CURI>> {
    using type = lumo::CRemoteVarURI;
};
template <class T> struct TRemoteVarOf<lumo::P<T>> {
    using type = lumo::CRemoteVarObject;
};
template <class T> using TRemoteVar = typename TRemoteVarOf<T>::type;

// A function's answer, "Result"; a procedure has none.
template <class Result> struct TRemoteAnswer {
    const lumo::P<TRemoteVar<Result>> result = lumo::make<TRemoteVar<Result>>(lumo::String("Result"));
};
template <> struct TRemoteAnswer<void> {
};

// A member that answers is a function on the wire, whose caller waits for
// the answer; one that returns nothing is a procedure, whose caller does not.
template <class Result> using TRemoteCall =
    std::conditional_t<std::is_void_v<Result>, lumo::CRemoteVoid, lumo::CRemoteFunction>;

// The remote operation that calls `Member` of a `Target`. Its name, its
// parameters' names and their order are the wire's; their types and the
// answer's follow from the member's signature.
//
// The same class serves both ends of a connection: the server registers an
// instance made for its target, whose execute() calls the member; a client
// makes one without a target, sets the arguments and calls it. The target
// is not counted: the server that registers the operation owns it, so
// counting would make a cycle.
template <class Target, auto Member, class Parameters = typename TMemberTraits<decltype(Member)>::Parameters>
class TRemoteOperation;

template <class Target, auto Member, class... Parameters>
class TRemoteOperation<Target, Member, std::tuple<Parameters...>>
    : public TRemoteCall<typename TMemberTraits<decltype(Member)>::Result>,
      public TRemoteAnswer<typename TMemberTraits<decltype(Member)>::Result> {
public:
    using Result = typename TMemberTraits<decltype(Member)>::Result;

    TRemoteOperation(const lumo::String& name, Target* target,
                     const std::array<const char*, sizeof...(Parameters)>& parameterNames)
        : TRemoteCall<Result>(name),
          parameters(makeParameters(parameterNames, std::index_sequence_for<Parameters...>())), m_target(target)
    {
        std::apply([this](const auto&... parameter) { (this->addParameter(parameter), ...); }, parameters);
        if constexpr (!std::is_void_v<Result>)
            this->addResult(this->result);
    }

    void execute() override
    {
        const auto call = [this](const auto&... parameter) { return (m_target->*Member)(parameter->getValue()...); };
        if constexpr (std::is_void_v<Result>)
            std::apply(call, parameters);
        else
            this->result->setValue(std::apply(call, parameters));
    }

    // The caller's side: the arguments, in wire order.
    void setArguments(const Parameters&... values)
    {
        std::apply([&](const auto&... parameter) { (parameter->setValue(values), ...); }, parameters);
    }

    const std::tuple<lumo::P<TRemoteVar<Parameters>>...> parameters;

private:
    template <size_t... Index> static std::tuple<lumo::P<TRemoteVar<Parameters>>...>
    makeParameters(const std::array<const char*, sizeof...(Parameters)>& names, std::index_sequence<Index...>)
    {
        return {lumo::make<TRemoteVar<Parameters>>(lumo::String(names[Index]))...};
    }

    Target* const m_target;
};

// Declares `name##Operation`: the remote operation "name" that calls the
// member `name`, declared by `Interface`, of the served interface, which
// the enclosing class names as `Served`; the rest are the parameters'
// names on the wire, in order. An interface's list of operations expands
// it once for each.
#define NEBO_REMOTE_OPERATION(Interface, name, ...)                                                                    \
    struct name##Operation : ::nebo::common::TRemoteOperation<Served, &Interface::name> {                              \
        explicit name##Operation(Served* target = nullptr) : TRemoteOperation(#name, target, {__VA_ARGS__}) {}         \
    };

// A server's registration of `name##Operation`, made for the server itself,
// for each entry of a list of operations.
#define NEBO_REGISTER_REMOTE_OPERATION(Interface, name, ...) registerProc(::lumo::make<name##Operation>(this));

// The caller's side: calls `Operation` on `client`'s peer with `arguments`
// and returns the answer of a function (a procedure's caller does not wait).
// Throws what the call throws.
template <class Operation, class... Values>
auto callRemote(lumo::CRemoteStreamClient& client, const Values&... arguments)
{
    Operation operation;
    operation.setArguments(arguments...);
    client.call(operation);
    if constexpr (!std::is_void_v<typename Operation::Result>)
        return operation.result->getValue();
}

} // namespace nebo::common
