#pragma once
#include <string>

namespace corvant {
struct Runtime;
// Delivers text to the surface of the current screen model: the text-mode
// page in "0", the text buffer in "1", the HTML page in "2", a new line of
// the memo text in "3" and "4".
void writeText(Runtime& rt, const std::string& text);
// Appends `line` to a store of lines joined by CR LF.
void appendStoreLine(std::string& store, const std::string& line);
}  // namespace corvant
