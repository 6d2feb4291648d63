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
    explicit CGetWidthFunction(int32_t width = 0) : CRemoteFunction("getWidth"), m_width(width) { addResult(result); }

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

// "setMaxSize" (nWidth, nHeight), without reply.
class CSetMaxSizeProc : public CRemoteVoid {
public:
    CSetMaxSizeProc(int32_t width = 0, int32_t height = 0)
        : CRemoteVoid("setMaxSize"), width(make<CRemoteVarInteger>("nWidth", width)),
          height(make<CRemoteVarInteger>("nHeight", height))
    {
        addParameter(this->width);
        addParameter(this->height);
    }

    void execute() override {}

    const P<CRemoteVarInteger> width, height;
};

// A void procedure without parameters.
class CNoticeProc : public CRemoteVoid {
public:
    explicit CNoticeProc(const String& name = "notice") : CRemoteVoid(name) {}

    void execute() override { ++executions; }

    std::atomic<int> executions{0};
};

} // namespace lumo
