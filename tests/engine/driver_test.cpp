#include <gtest/gtest.h>

#include "engine/driver.h"
#include "engine/guard.h"
#include "engine/scripterror.h"
#include "engine/scriptfiles.h"
#include "support/gamefolder.h"
#include "text/strings.h"

using namespace corvant;
using corvant::test::LoadedGame;

namespace {

int num(const std::string& s) { return std::stoi(s); }

// Commands for driving the engine in tests; real command words come with
// their own subsystems.
void tSet(Runtime& rt) {
  rt.state.registers.at(static_cast<size_t>(num(rt.interp.P(1)))) = rt.interp.P(2);
  rt.interp.trace += rt.interp.P(1) + "," + rt.interp.P(2);
}
void tAppend(Runtime& rt) { rt.state.registers.at(1) += rt.interp.P(1); }
void tFail(Runtime&) { throw ScriptError("boom"); }
void tWait(Runtime& rt) { rt.pumpEvents(); }
void tJump(Runtime& rt) {
  auto i = findLabel(rt.state.lines, rt.interp.P(1));
  if (!i) return;
  rt.state.lineIndex = *i + 1;
  rt.interp.chainNext = true;
}
void tRecall(Runtime& rt) {
  rt.state.recallScript = rt.interp.P(1);
  rt.state.recallCountdown = num(rt.interp.P(2));
}
void tAs(Runtime& rt) {
  // continues as the word in P1 with P2 as its P1
  const std::string word = rt.interp.P(1);
  rt.interp.P(1) = rt.interp.P(2);
  continueAs(rt, word);
}

struct DriverTest : ::testing::Test {
  DriverTest() {
    const CommandEntry commands[] = {{"t.set", tSet},   {"t.app", tAppend}, {"t.fail", tFail}, {"t.wait", tWait},
                                     {"t.jump", tJump}, {"t.recall", tRecall}, {"t.as", tAs}};
    g.rt.commands.add(commands);
  }
  GameState& s() { return g.rt.state; }
  LoadedGame g;
};

}  // namespace

TEST_F(DriverTest, FreshRunRunsEveryLineThenSavesRegistersAndObjects) {
  g.script("a", {":top", "t.set 1,one", "' a text '", "t.set 2,two", "unknownword x"});
  s().objectList = {"key"};
  s().objectRecords = {"key", "Key", "A key", "sala", "", "", "", ""};
  ASSERT_TRUE(g.freshRun("a"));
  EXPECT_EQ(g.reg(1), "one");
  EXPECT_EQ(g.reg(2), "two");
  EXPECT_EQ(s().script, "a");
  EXPECT_FALSE(s().runInProgress);
  EXPECT_EQ(g.folder.read("game.rgs").at(2), "two");
  EXPECT_EQ(g.folder.read("game.obx").at(3), "sala");

  const std::vector<std::string> expected = {
      "Executando script: a.scp", "Labels neste script...", ":top ", "",
      "   0: :top <-Refer\xEAncia na linha: 0 ",
      "   1: t.set 1,one",
      "   2:  a text '",  // a text block traces its last piece
      "   3: t.set 2,two",
      "   4: unknownword ",
  };
  EXPECT_EQ(g.trace->lines, expected);
}

TEST_F(DriverTest, MissingScriptRunsThePreviousLinesUnderTheNewName) {
  g.script("a", {"t.app x"});
  ASSERT_TRUE(g.freshRun("a"));
  ASSERT_TRUE(g.freshRun("nothere"));
  EXPECT_EQ(g.reg(1), "xx");
  EXPECT_EQ(s().script, "nothere");
  EXPECT_NE(std::find(g.trace->lines.begin(), g.trace->lines.end(), "N\xE3o encontrei o script: nothere.scp"),
            g.trace->lines.end());
}

TEST_F(DriverTest, FailureAbandonsTheRunAndSkipsItsEndButTheProgramGoesOn) {
  g.script("bad", {"t.set 1,before", "t.fail", "t.set 2,after"});
  g.script("recall", {"t.set 3,recalled"});
  const auto savedBefore = g.folder.readRaw("game.rgs");
  s().recallScript = "recall";
  ASSERT_FALSE(g.freshRun("bad"));
  EXPECT_EQ(g.reg(1), "before");  // what ran before the failure stays
  EXPECT_EQ(g.reg(2), "");
  EXPECT_EQ(g.folder.readRaw("game.rgs"), savedBefore);  // no end-of-run save
  EXPECT_EQ(s().lineIndex, 1);
  ASSERT_EQ(g.host.errors.size(), 1u);
  EXPECT_TRUE(text::contains(g.host.errors[0], "boom"));
  EXPECT_TRUE(text::contains(g.host.errors[0], "bad.scp, line 1"));
  EXPECT_TRUE(text::contains(g.host.errors[0], "t.fail"));
  EXPECT_FALSE(s().runInProgress);

  g.script("good", {"t.set 2,later"});
  ASSERT_TRUE(g.freshRun("good"));
  EXPECT_EQ(g.folder.read("game.rgs").at(1), "before");
  EXPECT_EQ(g.folder.read("game.rgs").at(2), "later");
}

TEST_F(DriverTest, TextBlocksCollectLinesAndInterpretTheNextLineAtOnce) {
  g.script("t", {"'First line", "  second~part\xA7 ", "end' dropped words", "t.app A", "t.app B"});
  ASSERT_TRUE(g.freshRun("t"));
  EXPECT_EQ(s().textBuffer, "First line second part\r\n end");
  EXPECT_EQ(g.reg(1), "AB");  // the line after the block ran exactly once
  EXPECT_EQ(g.trace->lines.at(4), "   0: end' dropped words");

  s().modelo = "3";
  g.script("m", {"'one'", "'two'", "t.app C"});
  ASSERT_TRUE(g.freshRun("m"));
  EXPECT_EQ(s().memoText, "one\r\ntwo");
}

TEST_F(DriverTest, TextBlocksThatReachTheEndOfTheScriptFail) {
  for (const auto& lines : {std::vector<std::string>{"'never closed", "t.app X"},
                            std::vector<std::string>{"t.app X", "'closed on the last line'"}}) {
    g.host.errors.clear();
    g.script("u", lines);
    EXPECT_FALSE(g.freshRun("u"));
    EXPECT_EQ(g.host.errors.size(), 1u);
  }
}

TEST_F(DriverTest, TriggerReplacesTheRunThatBringsItsCountdownToZero) {
  g.script("a", {"t.app a"});
  g.script("trig", {"t.app T"});
  s().triggerScript = "trig";
  s().triggerCountdown = 2;
  ASSERT_TRUE(g.freshRun("a"));
  quickRun(g.rt, "a");  // a quick run does not count
  ASSERT_TRUE(g.freshRun("a"));
  ASSERT_TRUE(g.freshRun("a"));
  EXPECT_EQ(g.reg(1), "aaTa");
  EXPECT_EQ(s().triggerCountdown, 0);
}

TEST_F(DriverTest, RecallRunsAfterItsHalfSecondsUnlessAFreshRunCancelsIt) {
  g.script("a", {"t.recall r,3", "t.app a"});
  g.script("r", {"t.app R"});
  ASSERT_TRUE(g.freshRun("a"));
  EXPECT_EQ(g.reg(1), "aR");
  EXPECT_EQ(g.host.sleptMs, 1500);

  // A fresh run during the wait sets the countdown to 0: no recall.
  g.rt.state.registers[1].clear();
  g.script("other", {"t.app O"});
  g.host.onPump = [&] { freshRun(g.rt, "other"); };
  ASSERT_TRUE(g.freshRun("a"));
  EXPECT_EQ(g.reg(1), "aO");
}

TEST_F(DriverTest, QuickRunHasNoTraceNoSaveAndKeepsTheScriptName) {
  g.script("a", {"t.app a"});
  g.script("q", {"t.app q", "t.set 5,quick"});
  ASSERT_TRUE(g.freshRun("a"));
  const auto traced = g.trace->lines.size();
  const auto saved = g.folder.readRaw("game.rgs");
  quickRun(g.rt, "q");
  EXPECT_EQ(g.reg(1), "aq");
  EXPECT_EQ(s().script, "a");
  EXPECT_EQ(g.trace->lines.size(), traced);
  EXPECT_EQ(g.folder.readRaw("game.rgs"), saved);
  EXPECT_EQ(s().lines.front(), "t.app q");  // the line list is not restored

  quickRun(g.rt, "none");  // missing: nothing happens
  EXPECT_EQ(g.reg(1), "aq");
}

TEST_F(DriverTest, RunFromLabelWhenIdleContinuesTheCurrentScript) {
  g.script("a", {"t.app a", ":here", "t.app h", ":there", "t.app t"});
  ASSERT_TRUE(g.freshRun("a"));
  runGuarded(g.rt, [&] { runFromLabel(g.rt, ":there&Prm=p"); });
  EXPECT_EQ(g.reg(1), "ahtt");
  EXPECT_EQ(s().link.prm, "p");
  EXPECT_EQ(g.folder.read("game.rgs").at(1), "ahtt");  // a run with its end
  runGuarded(g.rt, [&] { runFromLabel(g.rt, ":nowhere"); });
  EXPECT_EQ(g.reg(1), "ahtt");
}

TEST_F(DriverTest, RunFromLabelDuringAWaitContinuesTwoLinesAfterTheLabel) {
  g.script("a", {"t.wait", "t.app 1", ":lbl", "t.app 2", "t.app 3"});
  g.host.onPump = [&] { runFromLabel(g.rt, ":lbl"); };
  ASSERT_TRUE(g.freshRun("a"));
  EXPECT_EQ(g.reg(1), "3");
}

TEST_F(DriverTest, NestedFreshRunReplacesTheScriptOfTheWaitingRun) {
  g.script("a", {"t.wait", "t.app A1", "t.app A2", "t.app A3"});
  g.script("b", {"t.app B"});
  g.host.onPump = [&] { freshRun(g.rt, "b"); };
  ASSERT_TRUE(g.freshRun("a"));
  // The interrupted loop goes on with the shared index, past b's end.
  EXPECT_EQ(g.reg(1), "B");
  EXPECT_EQ(s().script, "b");
}

TEST_F(DriverTest, RunTimerTickRestoresThePausedScriptAndLine) {
  g.script("a", {"t.app a", "t.wait", "t.app b", "t.app c"});
  g.script("tick", {"t.app T"});
  s().timerScript = "tick";
  g.host.onPump = [&] { runTimerTick(g.rt); };
  ASSERT_TRUE(g.freshRun("a"));
  EXPECT_EQ(g.reg(1), "aTbc");
  EXPECT_EQ(s().script, "a");
}

TEST_F(DriverTest, AliasesTranslateOnlyWhenTheirValueIsSet) {
  s().posic = "sala";
  s().retScp = "back";
  s().exits[static_cast<size_t>(Direction::North)] = "norte1";
  struct Case {
    const char* name;
    const char* expected;
  } cases[] = {{"@pos", "sala"}, {"@norte", "norte1"}, {"@sul", "@sul"}, {"@obj", "@obj"},
               {"xvlt", "back"}, {"@xvlt", "back"},    {"plain", "plain"}};
  for (const auto& c : cases) EXPECT_EQ(translateAlias(g.rt, c.name), c.expected) << c.name;

  g.script("sala", {"t.app S"});
  ASSERT_TRUE(g.freshRun("@pos"));
  EXPECT_EQ(g.reg(1), "S");
  EXPECT_EQ(s().script, "sala");
}

TEST_F(DriverTest, VisitLogGetsTheNameAsWrittenAndPressPositionGoesToPtxPty) {
  s().visitLogName = "visits";
  s().lastPressX = 12;
  s().lastPressY = 34;
  g.script("a", {"t.app a"});
  ASSERT_TRUE(g.freshRun("a&Ptx=7&Pty=8&Prm=hello"));
  ASSERT_TRUE(g.freshRun("@pos"));
  EXPECT_EQ(g.folder.read("visits.txt"), (std::vector<std::string>{"a&Ptx=7&Pty=8&Prm=hello", "@pos"}));
  EXPECT_EQ(g.reg(7), "12");
  EXPECT_EQ(g.reg(8), "34");
  EXPECT_EQ(s().link.prm, "");  // the second fresh run cleared it
}

TEST_F(DriverTest, HandlerCanContinueAsAnotherCommand) {
  g.script("a", {"t.as t.app,Z", "t.as t.as,t.app"});
  ASSERT_TRUE(g.freshRun("a"));
  // The second line continues twice: t.as -> t.as -> t.app with P1 "t.app".
  EXPECT_EQ(g.reg(1), "Zt.app");
  g.script("b", {"t.as t.as,t.as"});
  EXPECT_FALSE(g.freshRun("b"));  // a command that keeps continuing fails instead of looping forever
}

TEST_F(DriverTest, JumpChainsToTheLineAfterTheLabel) {
  g.script("a", {"t.jump end", "t.app skipped", ":end", "t.app E"});
  ASSERT_TRUE(g.freshRun("a"));
  EXPECT_EQ(g.reg(1), "E");
  g.script("b", {"t.jump end", ":end"});
  EXPECT_FALSE(g.freshRun("b"));  // a label on the last line has no line after it
}

TEST(DriverTrace, LineNumbersRightAlignedInFourCharacters) {
  EXPECT_EQ(traceLinePrefix(0), "   0: ");
  EXPECT_EQ(traceLinePrefix(123), " 123: ");
  EXPECT_EQ(traceLinePrefix(9999), "9999: ");
  EXPECT_EQ(traceLinePrefix(12345), "2345: ");
}

TEST_F(DriverTest, EncerrarWaitsItsHalfSecondsThenAsksTheProgramToEnd) {
  struct Case {
    const char* line;
    long sleptMs;
  } cases[] = {{"encerrar 0", 0}, {"terminate", 5000}, {"encerrar 3", 1500}, {"encerrar x", 5000}};
  for (const auto& c : cases) {
    g.host.sleptMs = 0;
    g.host.quitRequested = false;
    g.script("end", {c.line, "t.app after"});
    ASSERT_TRUE(g.freshRun("end"));
    EXPECT_TRUE(g.host.quitRequested) << c.line;
    EXPECT_EQ(g.host.exitCode, 0);
    EXPECT_EQ(g.host.sleptMs, c.sleptMs) << c.line;
  }
  EXPECT_EQ(g.reg(1), "afterafterafterafter");  // lines after it still run
}

// What the line list remembers (splits, labels, handlers) must never show:
// every run behaves as if each line were split afresh and each label searched
// from line 0.
TEST_F(DriverTest, RememberedSplitsAndLabelsBehaveLikeFreshOnes) {
  // "#" references are read at every execution, not when the line was split.
  g.script("loop", {"t.set 2,0", ":again", "t.app #2", "inc 2", "ifreg< 2,3,again", "t.set 3,#2"});
  ASSERT_TRUE(g.freshRun("loop"));
  EXPECT_EQ(g.reg(1), "012");
  EXPECT_EQ(g.reg(3), "3");

  // A replaced line list brings its own labels: the same label name lands in
  // the new script, at its first occurrence.
  g.script("one", {"t.jump x", "t.app wrong", ":x", "t.app 1"});
  g.script("two", {"t.app 2a", ":x", "t.app 2b", ":x", "t.app 2c"});
  g.rt.state.registers[1].clear();
  ASSERT_TRUE(g.freshRun("one"));
  quickRun(g.rt, "two");
  g.rt.state.lineIndex = 0;
  g.rt.interp.trace.clear();
  runGuarded(g.rt, [&] { runFromLabel(g.rt, ":x"); });
  EXPECT_EQ(g.reg(1), "12a2b2c2b2c");

  // A word that meant nothing gains a meaning when a command is added later.
  g.script("late", {"t.later"});
  ASSERT_TRUE(g.freshRun("late"));
  g.rt.commands.add("t.later", +[](Runtime& rt) { rt.state.registers.at(4) = "now"; });
  ASSERT_TRUE(g.freshRun("late"));
  EXPECT_EQ(g.reg(4), "now");
}
