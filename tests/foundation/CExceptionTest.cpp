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
#include "foundation/CObjectError.h"
#include "foundation/CParseError.h"
#include "foundation/CReadOnlyError.h"
#include "foundation/CTimeoutError.h"
#include "foundation/CURIFormatError.h"
#include "foundation/CURITypeNotSupportedError.h"

#include "CFakeURI.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

namespace lumo {
namespace {

class CNamed : public CObject {
public:
    P<IString> toString() const override { return String("the named one").get(); }
};

// Checks the texts of an error and of its clone, which must be of the same class.
template <class E> void expectTexts(const E& error, const char* title, const char* description)
{
    SCOPED_TRACE(typeid(E).name() + std::string(": ") + description);
    P<CException> copy = error.clone();
    ASSERT_TRUE(copy);
    EXPECT_NE(copy.get(), static_cast<const CException*>(&error));
    EXPECT_TRUE(typeid(*copy) == typeid(E));
    const CException* both[] = {&error, copy.get()};
    for (const CException* each : both) {
        EXPECT_EQ(utf8(each->getGeneralDescription()), title);
        EXPECT_EQ(utf8(each->getDescription()), description);
    }
}

TEST(CExceptionTest, EveryClassDescribesItselfAndClonesWithItsTexts)
{
    P<CFakeURI> uri = make<CFakeURI>("file:///f", "/f");
    // A file may well be called like a placeholder; its name is inserted as is.
    P<CFakeURI> oddName = make<CFakeURI>("file:///%25URI%25", "%URI%");
    const std::type_info* type = &typeid(CObject);
    expectTexts(CException("d", "g"), "g", "d");
    expectTexts(CError(String(), String()), "Error", "Unspecified error");
    expectTexts(CObjectError(nullptr, nullptr, "d %OBJECTDESC%"), "Object error", "d unknown object");
    expectTexts(CObjectError(make<CNamed>().get(), nullptr, "Bad %OBJECTDESC%; really: %OBJECTDESC%"), "Object error",
                "Bad object: the named one; really: object: the named one");
    expectTexts(CObjectError(nullptr, type, String()), "Object error", "object class: class lumo::CObject");
    expectTexts(CInvalidObjectStateError("100%OBJECTDESC%", nullptr, type), "Object error",
                "The object is in an invalid state (object class: class lumo::CObject): 100%OBJECTDESC%.");
    expectTexts(CEndOfEnumError(nullptr), "Object error",
                "The object is in an invalid state (unknown object): end of enumeration already reached.");
    expectTexts(CInvalidArgError("nCount < 0", "setCount", nullptr, type), "Object error",
                "An invalid argument was passed to method 'setCount' of 'object class: class lumo::CObject': "
                "nCount < 0");
    expectTexts(CInvalidArgError(String(), String(), nullptr, nullptr), "Object error",
                "An invalid argument was passed to method 'unspecified method' of 'unknown object': "
                "unspecified argument");
    expectTexts(CMethodNotImplementedError("seek", nullptr, type), "Object error",
                "Method not implemented (object class: class lumo::CObject): seek.");
    expectTexts(CMethodNotImplementedError(String(), nullptr), "Object error",
                "Method not implemented (unknown object): unspecified method.");
    expectTexts(CCastError(make<CObject>().get(), &typeid(IBase)), "Cast error",
                "Error casting a 'class lumo::CObject' object to 'class lumo::IBase'.");
    expectTexts(CCastError(nullptr, nullptr), "Cast error", "Error casting a 'unknown' object to 'unknown'.");
    expectTexts(CParseError("p"), "Parse error", "p");
    expectTexts(CAbortedError("a"), "Error", "a");
    expectTexts(CFinishedError("f"), "Error", "f");
    expectTexts(CTimeoutError("t"), "Error", "t");
    expectTexts(CReadOnlyError("o"), "Error", "The object (o) is read-only and cannot be changed.");
    expectTexts(CNoSuchObjectError("n"), "Error", "n");
    expectTexts(CNoSuchObjectError(String()), "Error", "No such object.");
    expectTexts(CInvalidVolumeIDError("v"), "Invalid Volume ID Error", "Invalid volume id: v");
    expectTexts(CURIError("u %URI% (%URI%)", uri.get()), "Error", "u /f (/f)");
    expectTexts(CURIFormatError(make<CFakeURI>("ht tp://x", "shown differently").get()), "Error",
                "The URI ('ht tp://x') has an invalid format.");
    expectTexts(CURIFormatError(nullptr), "Error", "The URI has an invalid format.");
    expectTexts(CURITypeNotSupportedError(uri.get()), "Error", "This type of URI ('file:///f') is not supported.");
    expectTexts(CURITypeNotSupportedError(nullptr), "Error", "This type URI is not supported.");
    expectTexts(CFileError("f %URI%", uri.get()), "Error", "f /f");
    expectTexts(CFileNotFoundError(uri.get()), "Error", "The file '/f' was not found.");
    expectTexts(CFileNotFoundError(oddName.get()), "Error", "The file '%URI%' was not found.");
    expectTexts(CFileNotFoundError(nullptr), "Error", "The file was not found.");
    expectTexts(CFileAccessDeniedError(uri.get()), "Error", "The access of the file '/f' was denied.");
    expectTexts(CFileAccessDeniedError(nullptr), "Error", "The access of the file '<uri unknown>' was denied.");
}

TEST(CExceptionTest, WhatIsTheDescriptionAndStaysValidWhileOtherThreadsAsk)
{
    CException mine(String::fromUTF32(U"plain text"), "t");
    const char* text = static_cast<const std::exception&>(mine).what();
    std::thread([] {
        CException theirs("theirs, and longer than mine", String());
        EXPECT_STREQ(theirs.what(), "theirs, and longer than mine");
    }).join();
    EXPECT_STREQ(text, "plain text");

    // UTF-8 in every locale, the C locale of a program that sets none included.
    CException accented(String::fromUTF8("caf\xC3\xA9 \xE2\x82\xAC"), "t");
    EXPECT_STREQ(accented.what(), "caf\xC3\xA9 \xE2\x82\xAC");
}

} // namespace
} // namespace lumo
