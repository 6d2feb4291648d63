#include "tools/probe/toMediaURI.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace nebo::probe {
namespace {

TEST(toMediaURITest, TakesTextWithASchemeAsURIAndAnythingElseAsAPath)
{
    for (const char* text : {"file:///x.demo?w=64&h=48", "http://host/clip.avi", "my+scheme.v2-a:opaque"})
        EXPECT_EQ(toMediaURI(text)->getText().toUTF8(), text);

    const std::string folder = std::filesystem::current_path().string();
    // A colon after a slash, or after what cannot start a scheme, is part of a name.
    const std::pair<const char*, std::string> paths[] = {{"/media/clip.demo", "/media/clip.demo"},
                                                         {"./a:b.demo", folder + "/a:b.demo"},
                                                         {"3d:clip.demo", folder + "/3d:clip.demo"},
                                                         {"my clip?.demo", folder + "/my clip?.demo"}};
    for (const auto& [argument, path] : paths) {
        const lumo::P<lumo::CURI> uri = toMediaURI(argument);
        EXPECT_EQ(uri->getScheme().toUTF8(), "file") << argument;
        EXPECT_EQ(uri->getPath().toUTF8(), path) << argument;
        EXPECT_FALSE(uri->hasQuery()) << argument;
    }
}

} // namespace
} // namespace nebo::probe
