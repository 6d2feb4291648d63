#include "remote/CRemoteException.h"

#include <gtest/gtest.h>

#include <string>

namespace lumo {
namespace {

TEST(CRemoteExceptionTest, TheMessageIsTheDescriptionAndTheTitleIsEmpty)
{
    const CRemoteException error("Parameter not expected");
    EXPECT_EQ(String(error.getDescription()), String("Parameter not expected"));
    EXPECT_TRUE(String(error.getGeneralDescription()).isEmpty());
    EXPECT_EQ(std::string(error.what()), "Parameter not expected");

    const P<CException> copy = error.clone();
    ASSERT_NE(dynamic_cast<CRemoteException*>(copy.get()), nullptr);
    EXPECT_EQ(String(copy->getDescription()), String("Parameter not expected"));
}

} // namespace
} // namespace lumo
