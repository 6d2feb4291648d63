#include "foundation/CException.h"

#include "foundation/CAbortedError.h"
#include "foundation/CCastError.h"
#include "foundation/CEndOfEnumError.h"
#include "foundation/CFileAccessDeniedError.h"
#include "foundation/CFileNotFoundError.h"
#include "foundation/CFinishedError.h"
#include "foundation/CInvalidArgError.h"
#include "foundation/CInvalidVolumeIDError.h"
#include "foundation/CMethodNotImplementedError.h"
#include "foundation/CNoSuchObjectError.h"
#include "foundation/CParseError.h"
#include "foundation/CReadOnlyError.h"
#include "foundation/CURIFormatError.h"
#include "foundation/CURITypeNotSupportedError.h"

#include "CFakeURI.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

namespace lumo {
namespace {

TEST(CExceptionTest, KeepsBothTextsAsGiven)
{
    CException error("details", String());
    EXPECT_EQ(utf8(error.getDescription()), "details");
    EXPECT_EQ(utf8(error.getGeneralDescription()), "");
}

TEST(CExceptionTest, WhatIsTheDescription)
{
    try {
        throw CException(String::fromUTF32(U"plain text"), "t");
    } catch (const std::exception& error) {
        EXPECT_STREQ(error.what(), "plain text");
    }
}

TEST(CExceptionTest, WhatStaysValidWhileOtherThreadsAsk)
{
    CException mine("mine", String());
    const char* text = mine.what();
    std::thread([] {
        CException theirs("theirs, and longer than mine", String());
        EXPECT_STREQ(theirs.what(), "theirs, and longer than mine");
    }).join();
    EXPECT_STREQ(text, "mine");
}

template <class E> void expectCloneKeeps(const E& error, const char* title, const char* description)
{
    SCOPED_TRACE(typeid(E).name());
    EXPECT_EQ(utf8(error.getGeneralDescription()), title);
    EXPECT_EQ(utf8(error.getDescription()), description);

    P<CException> copy = error.clone();
    ASSERT_TRUE(copy);
    EXPECT_NE(copy.get(), static_cast<const CException*>(&error));
    EXPECT_TRUE(typeid(*copy) == typeid(E));
    EXPECT_EQ(utf8(copy->getGeneralDescription()), title);
    EXPECT_EQ(utf8(copy->getDescription()), description);
}

TEST(CExceptionTest, EveryClassClonesItselfWithItsTexts)
{
    P<CFakeURI> uri = make<CFakeURI>("file:///f", "/f");
    expectCloneKeeps(CException("d", "g"), "g", "d");
    expectCloneKeeps(CError("d", "g"), "g", "d");
    expectCloneKeeps(CObjectError(nullptr, nullptr, "d %OBJECTDESC%"), "Object error", "d unknown object");
    expectCloneKeeps(CInvalidObjectStateError("s", nullptr), "Object error",
                     "The object is in an invalid state (unknown object): s.");
    expectCloneKeeps(CEndOfEnumError(nullptr), "Object error",
                     "The object is in an invalid state (unknown object): end of enumeration already reached.");
    expectCloneKeeps(CInvalidArgError("a", "m"), "Object error",
                     "An invalid argument was passed to method 'm' of 'unknown object': a");
    expectCloneKeeps(CMethodNotImplementedError("m", nullptr), "Object error",
                     "Method not implemented (unknown object): m.");
    expectCloneKeeps(CCastError(nullptr, nullptr), "Cast error", "Error casting a 'unknown' object to 'unknown'.");
    expectCloneKeeps(CParseError("p"), "Parse error", "p");
    expectCloneKeeps(CAbortedError("a"), "Error", "a");
    expectCloneKeeps(CFinishedError("f"), "Error", "f");
    expectCloneKeeps(CReadOnlyError("o"), "Error", "The object (o) is read-only and cannot be changed.");
    expectCloneKeeps(CNoSuchObjectError("n"), "Error", "n");
    expectCloneKeeps(CInvalidVolumeIDError("v"), "Invalid Volume ID Error", "Invalid volume id: v");
    expectCloneKeeps(CURIError("u %URI%", uri.get()), "Error", "u /f");
    expectCloneKeeps(CURIFormatError(uri.get()), "Error", "The URI ('file:///f') has an invalid format.");
    expectCloneKeeps(CURITypeNotSupportedError(uri.get()), "Error",
                     "This type of URI ('file:///f') is not supported.");
    expectCloneKeeps(CFileError("f %URI%", uri.get()), "Error", "f /f");
    expectCloneKeeps(CFileNotFoundError(uri.get()), "Error", "The file '/f' was not found.");
    expectCloneKeeps(CFileAccessDeniedError(uri.get()), "Error", "The access of the file '/f' was denied.");
}

TEST(CExceptionTest, CloneKeepsTheFieldsOfTheClass)
{
    P<CFakeURI> uri = make<CFakeURI>("file:///f", "/f");
    P<CException> uriCopy = CFileNotFoundError(uri.get()).clone();
    EXPECT_EQ(static_cast<CURIError&>(*uriCopy).getURI().get(), static_cast<const IURI*>(uri.get()));

    P<CException> argCopy = CInvalidArgError("arg", "method", nullptr, &typeid(CObject)).clone();
    auto& arg = static_cast<CInvalidArgError&>(*argCopy);
    EXPECT_EQ(utf8(arg.getArgumentText()), "arg");
    EXPECT_EQ(utf8(arg.getMethodName()), "method");
    ASSERT_NE(arg.getObjectType(), nullptr);
    EXPECT_TRUE(*arg.getObjectType() == typeid(CObject));
}

TEST(CExceptionTest, CloneOutlivesTheCatchBlock)
{
    P<CException> kept;
    try {
        throw CParseError("bad token");
    } catch (const CException& error) {
        kept = error.clone();
    }
    EXPECT_EQ(utf8(kept->getDescription()), "bad token");
    EXPECT_EQ(kept->getReferenceCount(), 1);
}

} // namespace
} // namespace lumo
