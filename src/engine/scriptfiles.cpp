#include "engine/scriptfiles.h"

#include "engine/scripterror.h"
#include "runtime/files.h"
#include "text/numbers.h"
#include "text/strings.h"

namespace corvant {
namespace {

constexpr std::string_view kScriptKey =
    "8810585576735036598156464075421834840895165461509583762741521730324708529209859229770953544123053425610";
constexpr int kKeyLength = 100;

QString scriptPath(const GameState& state, std::string_view name, std::string_view ext) {
  return files::join(state.paths.adventureFolder, std::string(name) + std::string(ext));
}

std::vector<std::string> readOrFail(const QString& path) {
  auto lines = files::readLines(path);
  if (!lines) throw ScriptError("Cannot read the script file " + files::display(path));
  return *lines;
}

}  // namespace

std::vector<std::string> unscramble(const std::vector<std::string>& scrambled) {
  std::vector<std::string> out;
  out.reserve(scrambled.size());
  int k = 1;
  for (size_t lineNo = 0; lineNo < scrambled.size(); ++lineNo) {
    const std::string& line = scrambled[lineNo];
    std::string decoded;
    for (size_t i = 0; i < line.size(); i += 3) {
      std::optional<int32_t> b;
      if (i + 3 <= line.size()) b = text::parseInt(std::string_view(line).substr(i, 3));
      if (!b || *b < 0)
        throw ScriptError("The scrambled script is damaged at line " + std::to_string(lineNo + 1) +
                          ": it is not made of three-digit groups");
      const int d = kScriptKey[static_cast<size_t>(k - 1)] - '0';
      decoded.push_back(static_cast<char>(((*b - d) % 256 + 256) % 256));
      k = k == kKeyLength ? 1 : k + 1;
    }
    out.push_back(decoded + " ");
  }
  return out;
}

std::vector<std::string> scramble(const std::vector<std::string>& plain) {
  std::vector<std::string> out;
  out.reserve(plain.size());
  int k = 1;
  for (const auto& line : plain) {
    std::string encoded;
    for (unsigned char c : line) {
      const int d = kScriptKey[static_cast<size_t>(k - 1)] - '0';
      const int b = c + d;
      encoded += static_cast<char>('0' + b / 100);
      encoded += static_cast<char>('0' + b / 10 % 10);
      encoded += static_cast<char>('0' + b % 10);
      k = k == kKeyLength ? 1 : k + 1;
    }
    out.push_back(encoded);
  }
  return out;
}

bool scriptExists(const GameState& state, std::string_view name) {
  return files::exists(scriptPath(state, name, ".scp")) || files::exists(scriptPath(state, name, ".scx"));
}

bool plainScriptExists(const GameState& state, std::string_view name) {
  return files::exists(scriptPath(state, name, ".scp"));
}

std::optional<std::vector<std::string>> loadScriptLines(const GameState& state, std::string_view name) {
  if (!scriptExists(state, name)) return std::nullopt;
  if (state.config.at(cfg::kScrambled) == "x") return unscramble(readOrFail(scriptPath(state, name, ".scx")));
  return readOrFail(scriptPath(state, name, ".scp"));
}

bool readScript(const GameState& state, std::string_view name, ScriptSource source, LineList& lines) {
  if (source == ScriptSource::PlainOnly) {
    const QString path = scriptPath(state, name, ".scp");
    if (!files::exists(path)) throw ScriptError("The script " + std::string(name) + ".scp does not exist");
    lines = readOrFail(path);
    return true;
  }
  auto loaded = loadScriptLines(state, name);
  if (!loaded) return false;
  lines = std::move(*loaded);
  return true;
}

std::optional<int> findLabel(const std::vector<std::string>& lines, std::string_view name) {
  const std::string target = ":" + std::string(name);
  for (size_t i = 0; i < lines.size(); ++i)
    if (text::trim(lines[i]) == target) return static_cast<int>(i);
  return std::nullopt;
}

std::string listLabels(const std::vector<std::string>& lines) {
  std::string out;
  for (const auto& l : lines) {
    std::string t = text::trim(l);
    if (!t.empty() && t[0] == ':' && t.find(' ') == std::string::npos) out += t + " ";
  }
  return out.empty() ? "Este script n\xE3o tem labels!" : out;
}

std::string labelReferences(const std::vector<std::string>& lines, std::string_view labelLine) {
  const std::string name = text::trim(labelLine).substr(1);
  std::string numbers;
  int count = 0;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (!text::contains(lines[i], name)) continue;
    ++count;
    numbers += std::to_string(i) + " ";
  }
  if (count == 0) return "N\xE3o encontrei refer\xEAncia a este label!";
  if (count == 1) return "Refer\xEAncia na linha: " + numbers;
  return std::to_string(count) + "x nas linhas: " + numbers;
}

std::optional<std::string> vocabularyLookup(const std::vector<std::string>& lines, std::string_view word) {
  for (const auto& l : lines) {
    size_t bar = l.find('|');
    if (bar == std::string::npos) {
      if (word.empty()) return std::string();
      continue;
    }
    if (text::trim(std::string_view(l).substr(0, bar)) == word) return text::trim(std::string_view(l).substr(bar + 1));
  }
  return std::nullopt;
}

}  // namespace corvant
