#pragma once

#include "tools/probe/SMediumReport.h"

#include <string>

namespace nebo::probe {

// The version of the document's form, its "schema" member; it grows when a
// member changes its meaning or goes, not when one is added.
constexpr int jsonSchemaVersion = 2;

// The report as one line of JSON (README.md, "The probe's JSON", names
// every member), without the line's end. Plain ASCII: everything else is
// escaped, so that no text of a slave's choosing can steer a terminal, and
// bytes that are not UTF-8 become U+FFFD. Numbers that are not finite
// become null. Throws nothing but std::bad_alloc.
std::string formatJSONReport(const SMediumReport& report);

} // namespace nebo::probe
