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

// A decimal fraction: digits with "." as separator and an optional exponent;
// blanks around it are allowed. nullopt when it does not convert.
std::optional<double> parseDecimal(std::string_view s);
// The general format: at most 15 significant digits, no trailing zeros, an
// exponent ("1E20", "1E-5") for very large or very small values.
std::string formatGeneral(double v);
// Money: at most five decimals, rounded, no trailing zeros, no zero before
// the decimal point, thousands grouped with ","; "" for 0 ("1,234.5", ".5").
std::string formatMoney(double v);

}  // namespace corvant::text
