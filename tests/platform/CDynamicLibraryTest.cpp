// The library loader of either backend, on a sample library built for the platform.
#include "platform/IDynamicLibraryLoader.h"

#include "CTempFolder.h"
#include "platform/fileNameSuffixes.h"
#include "support/binFolder.h"
#include "support/isModuleResident.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace lumo {
namespace {

// Built from libraries/sampleLibrary.c into a folder of its own, where no program takes it for a plugin.
const std::string libraryPath =
    (nebo::test::binFolder() / "platform-tests" / (std::string("platform_test_library") + getModuleSuffix())).string();
const char* const exportedSymbol = "lumo_sampleAnswer";

P<IDynamicLibrary> load(const std::string& path) { return getDynamicLibraryLoader()->load(String::fromUTF8(path)); }

TEST(CDynamicLibraryTest, FilesThatAreNoLibraryGiveNothing)
{
    CTempFolder folder;
    folder.put(std::string("text") + getModuleSuffix(), "not a library");
    for (const std::string& path : {folder.pathOf(std::string("missing") + getModuleSuffix()),
                                    folder.pathOf(std::string("text") + getModuleSuffix()), folder.pathOf(""),
                                    std::string(), libraryPath + std::string(1, '\0')})
        EXPECT_FALSE(load(path)) << path;
    EXPECT_FALSE(isModuleResident(libraryPath));
}

TEST(CDynamicLibraryTest, FindsExportsWhileAnyReferenceHoldsTheLibrary)
{
    ASSERT_TRUE(std::filesystem::exists(libraryPath)) << libraryPath << " is built with the platform tests";
    ASSERT_FALSE(isModuleResident(libraryPath));
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
    EXPECT_TRUE(isModuleResident(libraryPath));
    EXPECT_NE(copy->getSymbol(String(exportedSymbol)), nullptr);
    copy = nullptr;
    EXPECT_FALSE(isModuleResident(libraryPath));
}

} // namespace
} // namespace lumo
