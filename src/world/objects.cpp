#include "world/objects.h"

#include "engine/scripterror.h"
#include "runtime/files.h"
#include "runtime/gamestate.h"
#include "runtime/savedgame.h"

namespace corvant {
namespace {

std::vector<std::string> objectFile(const GameState& s, const std::string& key) {
  const QString path = files::join(s.paths.adventureFolder, key + ".obj");
  auto lines = files::readLines(path);
  if (!lines) throw ScriptError("Cannot read the object file " + files::display(path));
  if (lines->size() < kRecordLines)
    throw ScriptError("The object file " + files::display(path) + " has " + std::to_string(lines->size()) +
                      " lines; an object needs 8");
  lines->resize(kRecordLines);
  return *lines;
}

}  // namespace

void rebuildRecords(GameState& s, const std::string& key) {
  if (key.empty() || key == "todos") {
    std::vector<std::string> records;
    for (const auto& k : s.objectList) {
      auto rec = objectFile(s, k);
      records.insert(records.end(), rec.begin(), rec.end());
    }
    s.objectRecords = std::move(records);
  } else {
    const auto rec = objectFile(s, key);
    for (size_t i = 0; i < s.objectList.size(); ++i) {
      if (s.objectList[i] != key) continue;
      const size_t first = i * kRecordLines;
      if (s.objectRecords.size() < first + kRecordLines) s.objectRecords.resize(first + kRecordLines);
      std::copy(rec.begin(), rec.end(), s.objectRecords.begin() + static_cast<long>(first));
    }
  }
  writeObjectRecords(s);
}

}  // namespace corvant
