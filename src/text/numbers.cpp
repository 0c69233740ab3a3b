#include "text/numbers.h"

#include <charconv>
#include <cmath>

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

std::optional<double> parseDecimal(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && s[b] == ' ') ++b;
  while (e > b && s[e - 1] == ' ') --e;
  if (b == e) return std::nullopt;
  // Only digits, one sign, ".", and an exponent: no "inf", "nan" or hex.
  for (size_t i = b; i < e; ++i) {
    const char c = s[i];
    if (!((c >= '0' && c <= '9') || c == '.' || c == '+' || c == '-' || c == 'e' || c == 'E')) return std::nullopt;
  }
  // from_chars ignores the C locale, which the desktop may have set to one
  // with a decimal comma; it takes no leading "+", so skip that by hand.
  if (s[b] == '+') ++b;
  double v = 0;
  auto [ptr, ec] = std::from_chars(s.data() + b, s.data() + e, v);
  if (ec != std::errc() || ptr != s.data() + e || !std::isfinite(v)) return std::nullopt;
  return v;
}

std::string formatGeneral(double v) {
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 15);
  std::string out(buf, res.ptr);
  // "1e+20" -> "1E20", "1e-05" -> "1E-5".
  const size_t ePos = out.find('e');
  if (ePos == std::string::npos) return out;
  std::string mantissa = out.substr(0, ePos);
  std::string exponent = out.substr(ePos + 1);
  std::string sign;
  if (!exponent.empty() && (exponent[0] == '+' || exponent[0] == '-')) {
    if (exponent[0] == '-') sign = "-";
    exponent.erase(0, 1);
  }
  while (exponent.size() > 1 && exponent[0] == '0') exponent.erase(0, 1);
  return mantissa + "E" + sign + exponent;
}

std::string formatMoney(double v) {
  char buf[400];
  auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(v), std::chars_format::fixed, 5);
  std::string digits(buf, res.ptr);
  std::string whole = digits.substr(0, digits.find('.'));
  std::string fraction = digits.substr(digits.find('.') + 1);
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  if (whole == "0") whole.clear();
  std::string grouped;
  for (size_t i = 0; i < whole.size(); ++i) {
    if (i > 0 && (whole.size() - i) % 3 == 0) grouped += ',';
    grouped += whole[i];
  }
  std::string out = grouped;
  if (!fraction.empty()) out += "." + fraction;
  if (!out.empty() && v < 0) out = "-" + out;
  return out;
}

}  // namespace corvant::text
