#include "text/cp1252.h"

#include <array>
#include <unordered_map>

namespace corvant::text {
namespace {

// Bytes 0x80..0x9F are the only ones that differ from Latin-1. The five
// undefined bytes map to the C1 control with the same number, as Windows does,
// so every byte survives a round trip.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr std::array<char16_t, 256> makeTable() {
  std::array<char16_t, 256> t{};
  for (int i = 0; i < 256; ++i) t[i] = static_cast<char16_t>(i);
  for (int i = 0; i < 32; ++i) t[0x80 + i] = kHigh[i];
  return t;
}
constexpr auto kToUnicode = makeTable();

const std::unordered_map<char16_t, unsigned char>& reverseTable() {
  static const auto map = [] {
    std::unordered_map<char16_t, unsigned char> m;
    for (int i = 0; i < 256; ++i) m.emplace(kToUnicode[i], static_cast<unsigned char>(i));
    return m;
  }();
  return map;
}

}  // namespace

QString toQString(std::string_view s) {
  QString out;
  out.resize(static_cast<qsizetype>(s.size()));
  QChar* d = out.data();
  for (size_t i = 0; i < s.size(); ++i) d[i] = QChar(kToUnicode[static_cast<unsigned char>(s[i])]);
  return out;
}

std::string fromQString(const QString& s) {
  const auto& rev = reverseTable();
  std::string out;
  out.reserve(static_cast<size_t>(s.size()));
  for (QChar c : s) {
    char16_t u = c.unicode();
    if (u < 0x80) {
      out.push_back(static_cast<char>(u));
      continue;
    }
    auto it = rev.find(u);
    out.push_back(it == rev.end() ? '?' : static_cast<char>(it->second));
  }
  return out;
}

}  // namespace corvant::text
