#include "platform/windows/CSimpleThreadLocalStorage.h"

#include <gtest/gtest.h>

namespace lumo::win32 {
namespace {

TEST(CSimpleThreadLocalStorageTest, ReadingLeavesTheLastErrorAsItWas)
{
    P<CSimpleThreadLocalStorage> slot = make<CSimpleThreadLocalStorage>();
    int value = 0;
    slot->setValue(&value);
    SetLastError(ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(&value, slot->getValue());
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
}

} // namespace
} // namespace lumo::win32
