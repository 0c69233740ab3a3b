#pragma once
// Small byte-string helpers shared by the engine.
#include <string>
#include <string_view>
#include <vector>

namespace corvant::text {

// Removes every character with a code up to and including the blank at both ends.
std::string trim(std::string_view s);
bool startsWith(std::string_view s, std::string_view prefix);
bool contains(std::string_view s, std::string_view part);
// Replaces every occurrence of `from` (non-empty) with `to`.
std::string replaceAll(std::string_view s, std::string_view from, std::string_view to);
// ASCII lower case; other bytes unchanged.
std::string lower(std::string_view s);

// Splits file content into lines; CR LF, LF and a lone CR each end a line. A
// final line end does not start another (empty) line.
std::vector<std::string> splitLines(std::string_view content);
// Joins lines, each followed by CR LF, as game files are written.
std::string joinLines(const std::vector<std::string>& lines);

}  // namespace corvant::text
