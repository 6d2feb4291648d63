#include "platform/posix/CDynamicLibrary.h"

#include "CTempFolder.h"
#include "platform/IDynamicLibraryLoader.h"
#include "support/binFolder.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <filesystem>

namespace lumo::posix {
namespace {

// Built from libraries/sampleLibrary.c in a folder of its own below the
// test programs, where no program takes it for a plugin.
const std::string libraryPath = (nebo::test::binFolder() / "platform-tests" / "platform_test_library.so").string();
const char* const exportedSymbol = "lumo_sampleAnswer";

bool isResident()
{
    // A successful look-up counts as one more opening.
    void* handle = dlopen(libraryPath.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (handle)
        dlclose(handle);
    return handle != nullptr;
}

P<IDynamicLibrary> load(const std::string& path)
{
    return getDynamicLibraryLoader()->load(String::fromUTF8(path));
}

TEST(CDynamicLibraryTest, FilesThatAreNoLibraryGiveNothing)
{
    CTempFolder folder;
    folder.put("text.so", "not a library");
    for (const std::string& path : {folder.pathOf("missing.so"), folder.pathOf("text.so"), folder.pathOf(""),
                                    std::string(), libraryPath + std::string(1, '\0')}) {
        EXPECT_FALSE(load(path)) << path;
        CDynamicLibrary library(String::fromUTF8(path));
        EXPECT_FALSE(library.isLoaded()) << path;
        EXPECT_EQ(library.getSymbol(String(exportedSymbol)), nullptr) << path;
    }
    EXPECT_FALSE(isResident());
}

TEST(CDynamicLibraryTest, FindsExportsWhileAnyReferenceHoldsTheLibrary)
{
    ASSERT_TRUE(std::filesystem::exists(libraryPath)) << libraryPath << " is built with the platform tests";
    ASSERT_FALSE(isResident());
    P<IDynamicLibrary> first = load(libraryPath);
    P<IDynamicLibrary> second = load(libraryPath);
    ASSERT_TRUE(first && second);
    EXPECT_TRUE(first->isLoaded());
    auto* answer = reinterpret_cast<int (*)()>(first->getSymbol(String(exportedSymbol)));
    ASSERT_NE(answer, nullptr);
    EXPECT_EQ(answer(), 42);
    for (const std::string& missing : {std::string("lumo_sampleHidden"), std::string("lumo_sampleMissing"),
                                       std::string(), exportedSymbol + std::string(1, '\0') + "x"})
        EXPECT_EQ(first->getSymbol(String::fromUTF8(missing)), nullptr) << missing;

    P<IDynamicLibrary> copy = first;
    first = nullptr;
    second = nullptr;
    EXPECT_TRUE(isResident());
    EXPECT_NE(copy->getSymbol(String(exportedSymbol)), nullptr);
    copy = nullptr;
    EXPECT_FALSE(isResident());
}

} // namespace
} // namespace lumo::posix
