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

// The declaring class, result and parameter types of a member function.
template <class Member> struct TMemberTraits;
template <class Class, class ResultType, class... Arguments> struct TMemberTraits<ResultType (Class::*)(Arguments...)> {
    using Interface = Class;
    using Result = ResultType;
    using Parameters = std::tuple<std::decay_t<Arguments>...>;
};

template <auto Member> using TResultOf = typename TMemberTraits<decltype(Member)>::Result;
// The type of the `index`th parameter of `Member`.
template <auto Member, size_t index> using TParameter =
    std::tuple_element_t<index, typename TMemberTraits<decltype(Member)>::Parameters>;

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

// The remote operation that calls `Member` of a `Target`: names and order
// are the wire's, types follow from the member's signature. A server
// registers one made for its target, whose execute() calls the member; a
// client makes one without a target. The target is not counted: the server
// that registers the operation owns it, so counting would make a cycle.
template <class Target, auto Member, class Parameters = typename TMemberTraits<decltype(Member)>::Parameters>
class TRemoteOperation;

template <class Target, auto Member, class... Parameters>
class TRemoteOperation<Target, Member, std::tuple<Parameters...>>
    : public TRemoteCall<typename TMemberTraits<decltype(Member)>::Result>,
      public TRemoteAnswer<typename TMemberTraits<decltype(Member)>::Result> {
public:
    using Interface = typename TMemberTraits<decltype(Member)>::Interface;
    using Result = typename TMemberTraits<decltype(Member)>::Result;
    static constexpr auto member = Member;

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

// The entries of an interface's list of operations: X(Interface, name,
// parameters...) for the member `name` declared by `Interface`; the
// parameters are the member's, named as on the wire, at most three. The
// macros below expand an entry into the operation, its registration and
// a forwarding override.
#define NEBO_REMOTE_COUNT(...) NEBO_REMOTE_COUNT_(_ __VA_OPT__(, ) __VA_ARGS__, 3, 2, 1, 0)
#define NEBO_REMOTE_COUNT_(_, a, b, c, count, ...) count
#define NEBO_REMOTE_CAT(a, b) NEBO_REMOTE_CAT_(a, b)
#define NEBO_REMOTE_CAT_(a, b) a##b
#define NEBO_REMOTE_EACH(prefix, member, ...)                                                                          \
    NEBO_REMOTE_CAT(prefix, NEBO_REMOTE_COUNT(__VA_ARGS__))(member __VA_OPT__(, ) __VA_ARGS__)
// The parameters' names on the wire.
#define NEBO_REMOTE_NAMES_0(m)
#define NEBO_REMOTE_NAMES_1(m, a) #a
#define NEBO_REMOTE_NAMES_2(m, a, b) #a, #b
#define NEBO_REMOTE_NAMES_3(m, a, b, c) #a, #b, #c
// The parameters' declarations in C++.
#define NEBO_REMOTE_DECLARE_0(m)
#define NEBO_REMOTE_DECLARE_1(m, a) ::nebo::common::TParameter<m, 0> a
#define NEBO_REMOTE_DECLARE_2(m, a, b) NEBO_REMOTE_DECLARE_1(m, a), ::nebo::common::TParameter<m, 1> b
#define NEBO_REMOTE_DECLARE_3(m, a, b, c) NEBO_REMOTE_DECLARE_2(m, a, b), ::nebo::common::TParameter<m, 2> c

// Declares `name##Operation`: the remote operation "name" that calls the
// member `name`, declared by `Interface`, of the served interface, which
// the enclosing class names as `Served`.
#define NEBO_REMOTE_OPERATION(Interface, name, ...)                                                                    \
    struct name##Operation : ::nebo::common::TRemoteOperation<Served, &Interface::name> {                              \
        static constexpr const char* wireName = #name;                                                                 \
        explicit name##Operation(Served* target = nullptr)                                                             \
            : TRemoteOperation(lumo::String(wireName), target, {NEBO_REMOTE_EACH(NEBO_REMOTE_NAMES_, _, __VA_ARGS__)}) \
        {                                                                                                              \
        }                                                                                                              \
    };

// A server's registration of `name##Operation`, made for the server itself,
// for each entry of a list of operations.
#define NEBO_REGISTER_REMOTE_OPERATION(Interface, name, ...) registerProc(::lumo::make<name##Operation>(this));

// The override of `name` that hands its call to the enclosing class's
// forward<Served::name##Operation>(arguments...).
#define NEBO_FORWARD_REMOTE_OPERATION(Interface, name, ...)                                                            \
    ::nebo::common::TResultOf<&Interface::name> name(                                                                  \
        NEBO_REMOTE_EACH(NEBO_REMOTE_DECLARE_, &Interface::name, __VA_ARGS__)) override                                \
    {                                                                                                                  \
        return forward<Served::name##Operation>(__VA_ARGS__);                                                          \
    }

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
