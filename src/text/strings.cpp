#include "text/strings.h"

namespace corvant::text {

std::string trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return std::string(s.substr(b, e - b));
}

bool startsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

bool contains(std::string_view s, std::string_view part) { return s.find(part) != std::string_view::npos; }

std::string replaceAll(std::string_view s, std::string_view from, std::string_view to) {
  std::string out;
  size_t pos = 0;
  while (true) {
    size_t hit = s.find(from, pos);
    if (hit == std::string_view::npos || from.empty()) break;
    out.append(s.substr(pos, hit - pos));
    out.append(to);
    pos = hit + from.size();
  }
  out.append(s.substr(pos));
  return out;
}

std::string lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

std::vector<std::string> splitLines(std::string_view content) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t i = 0; i < content.size(); ++i) {
    char c = content[i];
    if (c != '\r' && c != '\n') continue;
    lines.emplace_back(content.substr(start, i - start));
    if (c == '\r' && i + 1 < content.size() && content[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < content.size()) lines.emplace_back(content.substr(start));
  return lines;
}

std::string joinLines(const std::vector<std::string>& lines) {
  std::string out;
  for (const auto& l : lines) {
    out += l;
    out += "\r\n";
  }
  return out;
}

}  // namespace corvant::text
