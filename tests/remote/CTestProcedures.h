#pragma once

#include "foundation/CError.h"
#include "remote/CRemoteFunction.h"
#include "remote/CRemoteVarInteger.h"
#include "remote/CRemoteVoid.h"

#include <atomic>

namespace lumo {

// "getWidth": no parameters, answers the width it was made with.
class CGetWidthFunction : public CRemoteFunction {
public:
    explicit CGetWidthFunction(int32_t width = 0) : CRemoteFunction("getWidth"), m_width(width)
    {
        addResult(result);
    }

    void execute() override
    {
        ++executions;
        result->setValue(m_width);
    }

    const P<CRemoteVarInteger> result = make<CRemoteVarInteger>("Result");
    std::atomic<int> executions{0};

private:
    const int32_t m_width;
};

// "setMaxSize": two parameters, no reply.
class CSetMaxSizeProc : public CRemoteVoid {
public:
    CSetMaxSizeProc(int32_t width = 0, int32_t height = 0) : CRemoteVoid("setMaxSize")
    {
        this->width->setValue(width);
        this->height->setValue(height);
        addParameter(this->width);
        addParameter(this->height);
    }

    void execute() override { ++executions; }

    const P<CRemoteVarInteger> width = make<CRemoteVarInteger>("nWidth");
    const P<CRemoteVarInteger> height = make<CRemoteVarInteger>("nHeight");
    std::atomic<int> executions{0};
};

// "fail": a function whose execute throws.
class CFailingFunction : public CRemoteFunction {
public:
    CFailingFunction() : CRemoteFunction("fail") { addResult(make<CRemoteVarInteger>("Result")); }

    void execute() override { throw CError("the served object failed"); }
};

} // namespace lumo
