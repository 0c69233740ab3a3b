#include "engine/linesyntax.h"

#include "engine/scripterror.h"
#include "text/numbers.h"
#include "text/strings.h"

namespace corvant {

ClassifiedLine classifyLine(std::string_view line) {
  std::string t = text::trim(line);
  if (t.empty()) return {LineKind::Empty, {}};
  if (t[0] == ':') return {LineKind::Label, t};
  if (t[0] == '/' || t[0] == ';') return {LineKind::Comment, t};
  // A leading "|" is dropped; what follows can be a text block or a command,
  // never a label or a comment.
  if (t[0] == '|') t = text::trim(std::string_view(t).substr(1));
  if (!t.empty() && t[0] == '\'') return {LineKind::TextBlock, t};
  return {LineKind::Command, t};
}

const std::string& registerAt(const std::vector<std::string>& registers, int n) {
  if (n < 0 || static_cast<size_t>(n) >= registers.size())
    throw ScriptError("Register " + std::to_string(n) + " does not exist (the game has registers 0 to " +
                      std::to_string(static_cast<long>(registers.size()) - 1) + ")");
  return registers[static_cast<size_t>(n)];
}

CommandSplit splitRaw(std::string_view commandText) {
  CommandSplit out;
  size_t blank = commandText.find(' ');
  std::string_view rest;
  if (blank == std::string_view::npos) {
    out.word = std::string(commandText);
  } else {
    out.word = std::string(commandText.substr(0, blank));
    rest = commandText.substr(blank + 1);
  }
  const bool wholeRest = out.word == "msg+" || out.word == "msg=";
  for (auto& param : out.params) {
    if (rest.empty()) break;
    size_t comma = wholeRest ? std::string_view::npos : rest.find(',');
    if (comma == std::string_view::npos) {
      param = std::string(rest);
      rest = {};
    } else {
      param = std::string(rest.substr(0, comma));
      rest = rest.substr(comma + 1);
    }
  }
  return out;
}

void readRegisterReference(std::string& param, const std::string& word, const std::vector<std::string>& registers,
                           int registerCount) {
  if (param.empty() || param[0] != '#') return;
  const int n = text::parseIntOr(std::string_view(param).substr(1), 0);
  if (word == "msg+" || word == "msg=") {
    if (n < 0 || n > registerCount)
      throw ScriptError("Register " + std::to_string(n) + " is outside 0 to " + std::to_string(registerCount));
    param = registerAt(registers, n);
    return;
  }
  // The highest register cannot be read this way: the test is "below".
  if (n >= 0 && n < registerCount) param = registerAt(registers, n);
  else param.erase(0, 1);
}

CommandSplit splitCommand(std::string_view commandText, const std::vector<std::string>& registers,
                          int registerCount) {
  CommandSplit out = splitRaw(commandText);
  for (auto& param : out.params) readRegisterReference(param, out.word, registers, registerCount);
  return out;
}

std::string substituteMarker(char marker, std::string_view s, std::string_view model) {
  std::string_view replacement;
  switch (marker) {
    case kMarkerBreak:
      if (model == "0" || model == "1") replacement = "\r\n";
      else if (model == "2") replacement = "<br>";
      else if (model == "3" || model == "4") return std::string(s);
      else replacement = "";
      break;
    case kMarkerBlank:
      replacement = model == "2" ? "&nbsp;" : " ";
      break;
    case kMarkerComma:
      replacement = ",";
      break;
    default:
      return std::string(s);
  }
  return text::replaceAll(s, std::string_view(&marker, 1), replacement);
}

std::string substituteAllMarkers(std::string_view s, std::string_view model) {
  std::string t = substituteMarker(kMarkerBreak, s, model);
  t = substituteMarker(kMarkerBlank, t, model);
  return substituteMarker(kMarkerComma, t, model);
}

std::string readLinkAddress(std::string_view address, LinkParams& link) {
  size_t amp = address.find('&');
  if (amp == std::string_view::npos) return std::string(address);
  const std::string_view tail = address.substr(amp);
  const std::pair<std::string_view, std::string*> parts[] = {
      {"&Prm=", &link.prm}, {"&Prx=", &link.prx}, {"&Pry=", &link.pry}, {"&Ptx=", &link.ptx}, {"&Pty=", &link.pty}};
  for (const auto& [key, field] : parts) {
    size_t at = tail.find(key);
    if (at == std::string_view::npos) continue;
    std::string_view value = tail.substr(at + key.size());
    *field = std::string(value.substr(0, value.find('&')));
  }
  return std::string(address.substr(0, amp));
}

uint32_t colourValue(std::string_view s) {
  auto piece = [&](size_t from) { return from < s.size() ? s.substr(from, 2) : std::string_view(); };
  std::string joined;
  joined += piece(4);
  joined += piece(2);
  joined += piece(0);
  auto isHex = [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); };
  bool ok = !joined.empty();
  for (char c : joined) ok = ok && isHex(c);
  if (!ok) throw ScriptError("'" + std::string(s) + "' is not a valid colour (six hexadecimal digits RRGGBB)");
  return static_cast<uint32_t>(std::stoul(joined, nullptr, 16));
}

uint32_t colourToRgb(uint32_t v) {
  const uint32_t r = v & 0xFF, g = (v >> 8) & 0xFF, b = (v >> 16) & 0xFF;
  return 0xFF000000u | (r << 16) | (g << 8) | b;
}

}  // namespace corvant
