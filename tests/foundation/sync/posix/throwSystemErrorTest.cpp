#include "foundation/sync/throwSystemError.h"

#include "expectError.h"
#include "foundation/CError.h"
#include "foundation/CFileNotFoundError.h"

#include "foundation/CFakeURI.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace lumo {
namespace {

TEST(throwSystemErrorTest, TextIsOneLineForKnownAndUnknownCodes)
{
    for (int code : {EACCES, EEXIST, 0, 987654}) {
        const std::string text = getSystemErrorText(code).toUTF8();
        EXPECT_FALSE(text.empty()) << code;
        EXPECT_EQ(text.find('\n'), std::string::npos) << code;
    }
    EXPECT_NE(getSystemErrorText(EACCES).toUTF8(), getSystemErrorText(EEXIST).toUTF8());
}

TEST(throwSystemErrorTest, TemplateGetsTheTextOfTheCodeAndMissingFilesAreFileNotFound)
{
    expectThrow<CError>([] { throwSystemError("Error creating event (%ERRORDESC%).", EAGAIN); },
                        [](const CError& error) {
                            EXPECT_FALSE(dynamic_cast<const CFileNotFoundError*>(&error)) << "not a missing file";
                            EXPECT_EQ(utf8(error.getDescription()),
                                      "Error creating event (" + getSystemErrorText(EAGAIN).toUTF8() + ").");
                        });
    P<CFakeURI> uri = make<CFakeURI>("file:///nowhere", "/nowhere");
    for (int code : {ENOENT, ENOTDIR}) {
        expectError<CFileNotFoundError>("The file '/nowhere' was not found.",
                                        [&] { throwSystemError("unused %ERRORDESC%", code, uri.get()); });
    }
    EXPECT_THROW(throwSystemError("unused", ENOENT), CFileNotFoundError);
}

} // namespace
} // namespace lumo
