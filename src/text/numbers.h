#pragma once
// Number reading and writing as game scripts and files use them.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace corvant::text {

// A 32-bit signed integer: optional leading blanks, an optional sign, then
// decimal digits or "$" followed by hexadecimal digits. Nothing may follow.
// Values outside the 32-bit range do not convert.
std::optional<int32_t> parseInt(std::string_view s);
int32_t parseIntOr(std::string_view s, int32_t fallback);
std::string intToText(int64_t v);

}  // namespace corvant::text
