#include "crashhandler/posix/CModuleListBuilder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace crashhandler {
namespace {

SMapping mapping(uint64_t start, uint64_t end, bool executable, const char* path)
{
    return SMapping{start, end, true, executable, path, std::strlen(path)};
}

using TModule = std::tuple<std::string, uint64_t, uint64_t>;

std::vector<TModule> modulesOf(const SCrashRecord& record)
{
    std::vector<TModule> modules;
    for (size_t i = 0; i < record.moduleCount; ++i)
        modules.emplace_back(record.modules[i].name, record.modules[i].base, record.modules[i].size);
    return modules;
}

TEST(CModuleListBuilderTest, OneModulePerLoadedFile)
{
    auto record = std::make_unique<SCrashRecord>();
    CModuleListBuilder builder(*record);
    for (const SMapping& each : {
             mapping(0x1000, 0x2000, false, "/usr/bin/nebo_slave"),
             mapping(0x2000, 0x5000, true, "/usr/bin/nebo_slave"),
             mapping(0x5000, 0x6000, false, "/usr/bin/nebo_slave"),
             mapping(0x6000, 0x9000, false, "[heap]"),
             mapping(0x20000, 0x21000, false, "/opt/plugins/nebo_demo.so"),
             mapping(0x21000, 0x24000, true, "/opt/plugins/nebo_demo.so"),
             mapping(0x24000, 0x25000, false, ""),
             mapping(0x25000, 0x26000, false, "/opt/plugins/nebo_demo.so"),
             mapping(0x30000, 0x31000, true, "[vdso]"),
             mapping(0x40000, 0x41000, true, "/lib/x86_64-linux-gnu/libc.so.6"),
         })
        builder.add(each);
    builder.finish();
    const std::vector<TModule> expected = {
        {"nebo_slave", 0x1000, 0x5000}, {"nebo_demo.so", 0x20000, 0x6000}, {"libc.so.6", 0x40000, 0x1000}};
    EXPECT_EQ(modulesOf(*record), expected);
}

} // namespace
} // namespace crashhandler
