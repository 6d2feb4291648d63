#include "remote/CRemoteProc.h"

#include "CTestProcedures.h"
#include "WireFixture.h"
#include "remote/CRemoteException.h"

namespace lumo {
namespace {

using RemoteProcTest = WireFixture;

TEST_F(RemoteProcTest, ParametersAndResultsKeepTheirOrder)
{
    const P<CSetMaxSizeProc> setMaxSize = make<CSetMaxSizeProc>(640, 480);
    EXPECT_EQ(setMaxSize->getName(), String("setMaxSize"));
    EXPECT_TRUE(setMaxSize->isVoid());
    ASSERT_EQ(setMaxSize->getParameters().size(), 2u);
    EXPECT_EQ(setMaxSize->getParameters()[0], setMaxSize->width);
    EXPECT_EQ(setMaxSize->getParameters()[1], setMaxSize->height);

    stream->clear();
    setMaxSize->writeParameters(*out);
    const Bytes wire = wireInt("nWidth", 640) + wireInt("nHeight", 480);
    EXPECT_EQ(stream->bytes(), wire);

    const P<CSetMaxSizeProc> served = make<CSetMaxSizeProc>();
    served->readParameters(feed(wire));
    EXPECT_EQ(served->width->getValue(), 640);
    EXPECT_EQ(served->height->getValue(), 480);

    // Parameters in the other order are refused at the first.
    EXPECT_THROW(served->readParameters(feed(wireInt("nHeight", 1) + wireInt("nWidth", 2))), CRemoteException);
}

TEST_F(RemoteProcTest, AFunctionWithoutParametersWritesNothingForThem)
{
    const P<CGetWidthFunction> getWidth = make<CGetWidthFunction>(640);
    EXPECT_FALSE(getWidth->isVoid());
    EXPECT_TRUE(getWidth->getParameters().empty());
    stream->clear();
    getWidth->writeParameters(*out);
    EXPECT_EQ(stream->getSize(), 0);

    getWidth->execute();
    ASSERT_EQ(getWidth->getResults().size(), 1u);
    stream->clear();
    getWidth->writeResults(*out);
    EXPECT_EQ(stream->bytes(), wireInt("Result", 640));

    const P<CGetWidthFunction> caller = make<CGetWidthFunction>();
    caller->readResults(feed(wireInt("Result", 640)));
    EXPECT_EQ(caller->result->getValue(), 640);
}

} // namespace
} // namespace lumo
