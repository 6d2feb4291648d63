#include "slave/CSlaveServices.h"

#include "foundation/CURITypeNotSupportedError.h"

#include <gtest/gtest.h>

using nebo::common::fileURIToNativePath;

TEST(CSlaveServicesTest, TurnsFileURIsIntoNativePaths)
{
    EXPECT_EQ(fileURIToNativePath("file:///tmp/error.txt"), "/tmp/error.txt");
    EXPECT_EQ(fileURIToNativePath("file://localhost/tmp/a%20b%25.txt"), "/tmp/a b%.txt");
    EXPECT_EQ(fileURIToNativePath("file:///tmp/cut%2"), "/tmp/cut%2");
}

TEST(CSlaveServicesTest, RefusesOtherURIs)
{
    for (const char* uri : {"http://host/x", "file://otherhost/x", "file:relative", "file://", ""})
        EXPECT_THROW(fileURIToNativePath(uri), lumo::CURITypeNotSupportedError) << uri;
}
