#include "text/numbers.h"

namespace corvant::text {

std::optional<int32_t> parseInt(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    negative = s[i] == '-';
    ++i;
  }
  int base = 10;
  if (i < s.size() && s[i] == '$') {
    base = 16;
    ++i;
  }
  if (i >= s.size()) return std::nullopt;
  int64_t value = 0;
  for (; i < s.size(); ++i) {
    char c = s[i];
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else return std::nullopt;
    value = value * base + digit;
    // Hexadecimal may spell the full 32-bit pattern ($FFFFFFFF is -1).
    const int64_t limit = base == 16 ? 0xFFFFFFFFLL : (negative ? 0x80000000LL : 0x7FFFFFFFLL);
    if (value > limit) return std::nullopt;
  }
  if (base == 16) {
    auto bits = static_cast<uint32_t>(value);
    int32_t v = static_cast<int32_t>(bits);
    return negative ? static_cast<int32_t>(0u - bits) : v;
  }
  return static_cast<int32_t>(negative ? -value : value);
}

int32_t parseIntOr(std::string_view s, int32_t fallback) { return parseInt(s).value_or(fallback); }

std::string intToText(int64_t v) { return std::to_string(v); }

}  // namespace corvant::text
