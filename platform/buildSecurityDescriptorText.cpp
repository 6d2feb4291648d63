#include "platform/buildSecurityDescriptorText.h"

#include "foundation/CInvalidArgError.h"

namespace lumo {

namespace {

String getRightsText(uint32_t rights)
{
    if (rights & rightAll)
        return "GA";
    String text;
    if (rights & rightRead)
        text += "GR";
    if (rights & rightWrite)
        text += "GW";
    if (rights & rightExecute)
        text += "GX";
    return text;
}

String getTrusteeText(EAccessTrustee trustee)
{
    switch (trustee) {
    case EAccessTrustee::builtinAdministrators:
        return "BA";
    case EAccessTrustee::authenticatedUsers:
        return "AU";
    case EAccessTrustee::anonymousLogon:
        return "AN";
    case EAccessTrustee::builtinGuests:
        return "BG";
    }
    throw CInvalidArgError("the trustee of an access entry is unknown", "buildSecurityDescriptorText");
}

} // namespace

String buildSecurityDescriptorText(const std::vector<SAccessEntry>& entries)
{
    String text("D:");
    for (const SAccessEntry& entry : entries)
        text += String("(") + String(entry.bAllow ? "A;" : "D;") + String("OICI;") + getRightsText(entry.rights) +
                String(";;;") + getTrusteeText(entry.trustee) + String(")");
    return text;
}

String getPipeServerSecurityDescriptorText()
{
    return buildSecurityDescriptorText({{EAccessTrustee::authenticatedUsers, true, rightAll},
                                        {EAccessTrustee::builtinAdministrators, true, rightAll}});
}

} // namespace lumo
