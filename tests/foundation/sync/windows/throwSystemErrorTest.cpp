#include "foundation/sync/throwSystemError.h"

#include "expectError.h"
#include "foundation/CError.h"
#include "foundation/CFileNotFoundError.h"

#include "foundation/CFakeURI.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace lumo {
namespace {

TEST(throwSystemErrorTest, TextIsOneLineForKnownAndUnknownCodes)
{
    for (int code : {int(ERROR_ACCESS_DENIED), int(ERROR_ALREADY_EXISTS), 0x7654321}) {
        const std::string text = getSystemErrorText(code).toUTF8();
        EXPECT_FALSE(text.empty()) << code;
        EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << code;
        EXPECT_NE(text.back(), ' ') << code;
    }
    EXPECT_NE(getSystemErrorText(ERROR_ACCESS_DENIED).toUTF8(), getSystemErrorText(ERROR_ALREADY_EXISTS).toUTF8());
    EXPECT_EQ("Unknown error 124076833", getSystemErrorText(0x7654321).toUTF8());
}

TEST(throwSystemErrorTest, TemplateGetsTheTextOfTheCodeAndMissingFilesAreFileNotFound)
{
    try {
        throwSystemError("Error creating event (%ERRORDESC%).", ERROR_ACCESS_DENIED);
    } catch (const CFileNotFoundError&) {
        FAIL() << "not a missing file";
    } catch (const CError& error) {
        EXPECT_EQ(utf8(error.getDescription()),
                  "Error creating event (" + getSystemErrorText(ERROR_ACCESS_DENIED).toUTF8() + ").");
    }
    P<CFakeURI> uri = make<CFakeURI>("file:///nowhere", "/nowhere");
    for (int code : {ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND}) {
        expectError<CFileNotFoundError>("The file '/nowhere' was not found.",
                                        [&] { throwSystemError("unused %ERRORDESC%", code, uri.get()); });
    }
}

} // namespace
} // namespace lumo
