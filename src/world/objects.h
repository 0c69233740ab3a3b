#pragma once
#include <string>

namespace corvant {
struct GameState;
constexpr int kRecordLines = 8;
// Rebuilds object records from the objects' own files: all of them when
// `key` is empty or "todos", else every record of that key. Then saves ".obx".
// A missing object file, or one with fewer than eight lines, fails the run.
void rebuildRecords(GameState& s, const std::string& key);
}  // namespace corvant
