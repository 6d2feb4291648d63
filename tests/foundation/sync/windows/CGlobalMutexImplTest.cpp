#include "foundation/sync/windows/CGlobalMutexImpl.h"

#include "expectError.h"
#include "foundation/CException.h"

#include <gtest/gtest.h>

#include <string>

namespace lumo::win32 {
namespace {

TEST(CGlobalMutexImplNameTest, EscapesOnlyTheNamespaceSeparatorAndTheEscapeCharacter)
{
    const struct {
        const char* name;
        const wchar_t* kernelName;
    } cases[] = {
        {"Ab9 ._-/", L"Global\\lumo.globalmutex.Ab9 ._-/"},
        {"a\\b", L"Global\\lumo.globalmutex.a%5Cb"},
        {"a%5Cb", L"Global\\lumo.globalmutex.a%255Cb"},
        {"\xC3\xA4\xE2\x82\xAC", L"Global\\lumo.globalmutex.\u00E4\u20AC"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(std::wstring(c.kernelName), CGlobalMutexImpl::getKernelName(String::fromUTF8(c.name))) << c.name;
}

TEST(CGlobalMutexImplTest, ANameTooLongForTheSystemThrowsNamingIt)
{
    const String name = String::fromUTF8(std::string(MAX_PATH, 'x'));
    expectThrow<CException>([&] { make<CGlobalMutexImpl>(name); },
                            [&](const CException& error) {
                                EXPECT_EQ("Error createing global mutex " + name.toUTF8(),
                                          error.getDescription()->toUTF8());
                                EXPECT_TRUE(error.getGeneralDescription()->isEmpty());
                            });
}

} // namespace
} // namespace lumo::win32
