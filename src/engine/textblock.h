#pragma once
#include <string>

namespace corvant {
struct Runtime;
// A text block: from a line beginning with "'" to the first line holding
// another "'". `firstLine` is the trimmed opening line.
void runTextBlock(Runtime& rt, const std::string& firstLine);
}  // namespace corvant
