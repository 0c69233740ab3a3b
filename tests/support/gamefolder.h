#pragma once
// A temporary game folder written from inline text, and a runtime whose
// state points at it as if the game had just been loaded.
#include <QDir>
#include <QTemporaryDir>

#include <map>
#include <string>
#include <vector>

#include "engine/trace.h"
#include "runtime/runtime.h"
#include "support/testhost.h"

namespace corvant::test {

class GameFolder {
 public:
  GameFolder();
  QString path() const { return dir_.path() + "/"; }
  // Writes a file; lines are joined with CR LF.
  void write(const std::string& name, const std::vector<std::string>& lines);
  void writeRaw(const std::string& name, const std::string& bytes);
  std::vector<std::string> read(const std::string& name) const;
  std::string readRaw(const std::string& name) const;
  bool exists(const std::string& name) const;

  // A configuration of 110 lines with sensible defaults, `overrides` applied.
  void writeConfig(const std::string& gameName, const std::map<int, std::string>& overrides = {});
  // The four required saved-game files for `gameName` (ini written separately).
  void writeSavedGame(const std::string& gameName, int registerCount = 250);

 private:
  QTemporaryDir dir_;
};

class RecordingTrace : public TraceSink {
 public:
  void write(const std::string& line) override { lines.push_back(line); }
  std::vector<std::string> lines;
};

// A runtime over a game folder, loaded as the game "game".
struct LoadedGame {
  LoadedGame();
  void script(const std::string& name, const std::vector<std::string>& lines) { folder.write(name + ".scp", lines); }
  // Runs `name` as a fresh run through the guarded entry point.
  bool freshRun(const std::string& name);
  // Runs one command as the dispatcher would and returns what it traced.
  std::string call(const std::string& word, const std::vector<std::string>& params);
  const std::string& reg(int n) const { return rt.state.registers.at(static_cast<size_t>(n)); }

  GameFolder folder;
  TestHost host;
  Runtime rt;
  RecordingTrace* trace;
};

}  // namespace corvant::test
