#pragma once
// A loaded game in the whole program, offscreen, with a few configuration
// values that make every screen model's sizes distinct, and a red picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "engine/driver.h"
#include "engine/guard.h"
#include "support/program.h"
#include "text/strings.h"

namespace corvant::test {

// A game started with the given configuration lines, ready for scripts.
struct ScriptedGame : ::testing::Test {
  explicit ScriptedGame(const std::map<int, std::string>& config) {
    f.writeConfig("g", config);
    f.writeSavedGame("g");
    f.write("start.scp", {"/"});
    QImage red(8, 8, QImage::Format_RGB32);
    red.fill(Qt::red);
    red.save(f.path() + "red.bmp");
    p = std::make_unique<ProgramOnFolder>(f);
    p->clickOpening();
    sink = new RecordingTrace;
    p->rt().trace.reset(sink);
  }
  bool run(const std::vector<std::string>& lines) {
    f.write("t.scp", lines);
    return runGuarded(p->rt(), [&] { freshRun(p->rt(), "t"); });
  }
  bool traced(const std::string& part) const {
    return std::any_of(sink->lines.begin(), sink->lines.end(),
                       [&](const std::string& l) { return text::contains(l, part); });
  }
  GameFolder f;
  std::unique_ptr<ProgramOnFolder> p;
  RecordingTrace* sink = nullptr;
};

struct LayoutGame : ScriptedGame {
  LayoutGame()
      : ScriptedGame({{18, "102030"}, {24, "300"}, {25, "200"}, {58, "320"}, {59, "240"}, {49, "400"}, {50, "260"},
                      {51, "500"}, {52, "280"}, {92, "direto"}, {35, "*"}}) {}
};

}  // namespace corvant::test
