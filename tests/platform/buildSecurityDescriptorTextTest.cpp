#include "platform/buildSecurityDescriptorText.h"

#include "foundation/CInvalidArgError.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

TEST(buildSecurityDescriptorTextTest, WritesOneEntryPerKnownTrusteeWithItsRights)
{
    const struct {
        std::vector<SAccessEntry> entries;
        const char* expected;
    } cases[] = {
        {{}, "D:"},
        {{{EAccessTrustee::builtinGuests, true, 0}}, "D:(A;OICI;;;;BG)"},
        {{{EAccessTrustee::anonymousLogon, false, rightRead | rightWrite | rightExecute}}, "D:(D;OICI;GRGWGX;;;AN)"},
        {{{EAccessTrustee::builtinAdministrators, true, rightAll | rightWrite}}, "D:(A;OICI;GA;;;BA)"},
        {{{EAccessTrustee::builtinGuests, false, rightWrite}, {EAccessTrustee::anonymousLogon, true, rightAll}},
         "D:(D;OICI;GW;;;BG)(A;OICI;GA;;;AN)"},
    };
    for (const auto& test : cases)
        EXPECT_EQ(test.expected, buildSecurityDescriptorText(test.entries).toUTF8());
    EXPECT_THROW(buildSecurityDescriptorText({{static_cast<EAccessTrustee>(4), true, rightAll}}), CInvalidArgError);
}

// Who may open a master's pipe: every signed-in user and the administrators, nobody anonymous.
TEST(buildSecurityDescriptorTextTest, APipeServerGrantsEverythingToAuthenticatedUsersAndAdministrators)
{
    EXPECT_EQ("D:(A;OICI;GA;;;AU)(A;OICI;GA;;;BA)", getPipeServerSecurityDescriptorText().toUTF8());
}

} // namespace
} // namespace lumo
