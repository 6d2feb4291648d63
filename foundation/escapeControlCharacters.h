#pragma once

#include <string>

namespace lumo {

// `utf8Text` with every control character but tab and line feed (C0, DEL
// and the C1 range U+0080 to U+009F, carriage return and escape among them)
// written out as "\xNN" or "\u{NNNN}", and every byte that does not belong
// to a well-formed UTF-8 character as "\xNN", so that a text of unknown
// origin can neither steer a terminal nor make a log's XML ill-formed, and
// what it shows is valid UTF-8. Each line after the first starts with
// `indent`. Other characters, multi-byte ones included, pass unchanged.
std::string escapeControlCharacters(const std::string& utf8Text, const std::string& indent = std::string());

} // namespace lumo
