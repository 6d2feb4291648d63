#pragma once

#include "foundation/String.h"

#include <cstdint>
#include <vector>

namespace lumo {

// Whom an access entry of a pipe's security descriptor is for.
enum class EAccessTrustee : int32_t {
    builtinAdministrators = 0,
    authenticatedUsers = 1,
    anonymousLogon = 2,
    builtinGuests = 3,
};

// Rights of an access entry, as flags. rightAll stands alone: it covers the
// three others.
enum EAccessRight : uint32_t {
    rightRead = 1,
    rightWrite = 2,
    rightExecute = 4,
    rightAll = 8,
};

struct SAccessEntry {
    EAccessTrustee trustee;
    bool bAllow;
    // EAccessRight flags.
    uint32_t rights;
};

// The text form of a security descriptor that grants or denies what the
// entries say, inherited by objects and containers: "D:" and one
// "(A;OICI;GA;;;AU)" per entry. Throws CInvalidArgError for a trustee
// outside EAccessTrustee.
String buildSecurityDescriptorText(const std::vector<SAccessEntry>& entries);

// What a pipe server grants: everything to authenticated users and to
// administrators. Where the platform has no descriptors, the pipe folder's
// owner-only mode and the server's check of each peer's user stand for it.
String getPipeServerSecurityDescriptorText();

} // namespace lumo
