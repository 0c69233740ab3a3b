#include <gtest/gtest.h>

#include "engine/driver.h"
#include "support/gamefolder.h"
#include "text/strings.h"

using namespace corvant;
using corvant::test::LoadedGame;

namespace {

struct TimerHooks : RunHooks {
  void setRunTimer(int ms) override { intervals.push_back(ms); }
  void resetLinksForScriptSwitch() override { ++linkResets; }
  std::vector<int> intervals;
  int linkResets = 0;
};

struct Flow : ::testing::Test {
  Flow() { g.rt.hooks = &hooks; }
  bool run(const std::string& name) { return g.freshRun(name); }
  std::string traced(const std::string& part) const {
    for (const auto& l : g.trace->lines)
      if (text::contains(l, part)) return l;
    return "<not traced: " + part + ">";
  }
  LoadedGame g;
  TimerHooks hooks;
};

}  // namespace

TEST_F(Flow, GotoJumpsToTheFirstMatchingLabel) {
  g.script("a", {"goto fim", "reg$ 1,skipped", ":fim", "reg$ 1,F", ":fim", "reg$ 1,G"});
  ASSERT_TRUE(run("a"));
  EXPECT_EQ(g.reg(1), "FG");
  g.script("b", {"goto  fim", "goto :fim", "reg$ 1,continued", "goto fim", ":fim"});
  g.rt.state.registers[1].clear();
  EXPECT_FALSE(run("b"));  // ":fim" on the last line: the run fails after the misses
  EXPECT_EQ(g.reg(1), "continued");
  EXPECT_NE(traced(" fim <--- n\xE3o existe este label"), "");
  EXPECT_TRUE(text::contains(traced("goto :fim"), " <--- n\xE3o existe este label"));
}

TEST_F(Flow, ScriptSkipsLineZeroScriptSectionAndGosubRunIt) {
  g.script("other", {"reg$ 1,0", "reg$ 1,1", "return"});
  g.script("a", {"script other"});
  ASSERT_TRUE(run("a"));
  EXPECT_EQ(g.reg(1), "1");
  EXPECT_EQ(g.rt.state.script, "other");
  EXPECT_EQ(hooks.linkResets, 1);

  g.rt.state.registers[1].clear();
  g.script("b", {"script\xA7 other,on", "reg$ 1,after"});
  ASSERT_TRUE(run("b"));
  EXPECT_EQ(g.reg(1), "01");  // a fresh run from line 0; the old loop is past the end
  EXPECT_EQ(hooks.linkResets, 1);  // "on" keeps the links

  g.rt.state.registers[1].clear();
  g.script("c", {"gosub other", "reg$ 1,back", "reg$ 1,end"});
  ASSERT_TRUE(run("c"));
  EXPECT_EQ(g.reg(1), "01backend");
  EXPECT_EQ(g.rt.state.script, "c");
}

TEST_F(Flow, ScriptNoteForMissingScriptsAndLinkAddresses) {
  g.script("a", {"script nothere", "script", "script other&Prm=p1", "reg$ 1,a"});
  g.script("other", {"reg$ 1,x", "reg$ 1,o"});
  ASSERT_TRUE(run("a"));
  EXPECT_NE(traced("nothere <- script n\xE3o existe"), "");
  EXPECT_NE(traced(" <--- n\xE3o informou o nome do script"), "");
  EXPECT_EQ(g.rt.state.link.prm, "p1");
  EXPECT_EQ(g.reg(1), "o");
}

TEST_F(Flow, GosubDoesNotNestAndReturnNeedsAGosub) {
  g.script("sub", {"gosub sub2", "return"});
  g.script("sub2", {"reg$ 1,never"});
  g.script("a", {"return", "gosub :lbl", "reg$ 1,R", "fim", ":lbl", "gosub sub", "reg$ 1,L", "return"});
  ASSERT_TRUE(run("a"));
  EXPECT_EQ(g.reg(1), "LR");
  EXPECT_NE(traced(" <--- n\xE3o h\xE1 gosub em execu\xE7\xE3o!"), "");
  EXPECT_NE(traced(" <--- j\xE1 existe gosub em execu\xE7\xE3o (a)"), "");

  // A subroutine script that never returns leaves the return point pending
  // until the next fresh run.
  g.script("noret", {"reg$ 2,n"});
  g.script("b", {"gosub noret"});
  ASSERT_TRUE(run("b"));
  EXPECT_EQ(g.rt.state.returnLine, 0);
  g.script("c", {"gosub noret"});
  ASSERT_TRUE(run("c"));
  EXPECT_EQ(g.reg(2), "nn");

  g.script("d", {"gosub", "gosub missing"});
  ASSERT_TRUE(run("d"));
  EXPECT_NE(traced(" <--- n\xE3o informou o script/label"), "");
  EXPECT_NE(traced("missing <--- n\xE3o existe este script"), "");
}

TEST_F(Flow, FimEndsTheRunButNotItsEndSteps) {
  g.script("a", {"reg= 1,x", "fim", "reg= 1,y"});
  ASSERT_TRUE(run("a"));
  EXPECT_EQ(g.reg(1), "x");
  EXPECT_EQ(g.folder.read("game.rgs").at(1), "x");
  EXPECT_NE(traced("<-Encerrou a execu\xE7\xE3o"), "");
}

TEST_F(Flow, PausaWaitsItsStepsAndDeliversEvents) {
  struct Case {
    const char* line;
    long sleptMs;
    int pumps;
  } cases[] = {{"pausa 100", 1000, 100}, {"pausa= 0", 0, 0},  {"pause -5", 0, 0}, {"pausa x", 10, 1},
               {"pausa", 10, 1},         {"pausa 3,off", 30, 0}, {"delay 5", 5, 5}};
  for (const auto& c : cases) {
    g.script("a", {c.line});
    ASSERT_TRUE(run("a"));
    g.host.sleptMs = 0;
    g.host.pumps = 0;
    g.script("a", {c.line});
    // Only the wait itself: a run has two more pumps at its end.
    ASSERT_TRUE(run("a"));
    EXPECT_EQ(g.host.sleptMs, c.sleptMs) << c.line;
    EXPECT_EQ(g.host.pumps - 2, c.pumps) << c.line;
  }
}

TEST_F(Flow, TimerTickDuringPausaResumesThePausedRunAtItsLine) {
  g.script("tick", {"reg$ 1,T", "reg$ 1,U"});
  g.script("a", {"runtime 2,tick,500", "reg$ 1,a", "pausa 1", "reg$ 1,b", "runtime off"});
  g.host.onPump = [&] { runTimerTick(g.rt); };
  ASSERT_TRUE(run("a"));
  EXPECT_EQ(g.reg(1), "aTUb");
  EXPECT_EQ(hooks.intervals, (std::vector<int>{1000, 0}));
  EXPECT_EQ(g.rt.state.script, "a");
}

TEST_F(Flow, RuntimeParameters) {
  g.script("tick", {"/"});
  struct Case {
    const char* line;
    std::vector<int> intervals;
  } cases[] = {{"runtime 5,tick", {5000}}, {"runtime= 2,tick,500", {1000}}, {"runtime", {0}},
               {"runtime 3", {}},  // no script name: "ak7mg1t", which does not exist
               {"runtime 2,missing", {}},   {"runtime x,tick,x", {1000}}};
  for (const auto& c : cases) {
    hooks.intervals.clear();
    g.script("a", {c.line});
    ASSERT_TRUE(run("a"));
    EXPECT_EQ(hooks.intervals, c.intervals) << c.line;
  }
}

TEST_F(Flow, TriggerReplacesTheThirdCallAndGettrigReadsIt) {
  g.script("trig", {"reg$ 1,T"});
  g.script("a", {"reg$ 1,a"});
  g.script("set", {"trigger 3,trig", "gettrig 5"});
  ASSERT_TRUE(run("set"));
  EXPECT_EQ(g.reg(5), "3");
  ASSERT_TRUE(run("a"));
  ASSERT_TRUE(run("a"));
  ASSERT_TRUE(run("a"));
  EXPECT_EQ(g.reg(1), "aaT");
  g.script("off", {"gatilho 2,trig", "trigger off", "getrig 6", "trigger= 2,missing", "gettrig 7"});
  ASSERT_TRUE(run("off"));
  EXPECT_EQ(g.reg(6), "0");
  EXPECT_EQ(g.reg(7), "0");
}

TEST_F(Flow, RecallRunsAfterTheRunAndAFreshRunCancelsIt) {
  g.script("later", {"reg$ 1,L"});
  g.script("a", {"recall 3,later", "reg$ 1,a"});
  ASSERT_TRUE(run("a"));
  EXPECT_EQ(g.reg(1), "aL");
  EXPECT_EQ(g.host.sleptMs, 3000);
  g.rt.state.registers[1].clear();
  g.script("click", {"reg$ 1,C"});
  g.host.onPump = [&] { freshRun(g.rt, "click"); };  // a click during the countdown
  ASSERT_TRUE(run("a"));
  EXPECT_EQ(g.reg(1), "aC");
}

TEST_F(Flow, RetscpSetsTheReturnScriptEvenWhenMissing) {
  g.script("a", {"retscp= nowhere", "script xvlt"});
  ASSERT_TRUE(run("a"));
  EXPECT_EQ(g.rt.state.retScp, "nowhere");
  EXPECT_NE(traced("nowhere <- n\xE3o existe este script"), "");
}

TEST_F(Flow, ProcAndIfperg) {
  struct Case {
    const char* phrase;
    const char* result;
    bool flag;
  } cases[] = {{"open the door?", "JQ", false}, {"open the window", "N", false}, {"the door", "J", false}, {"where?", "NQ", false},
               {"nothing", "N", false}};
  for (const auto& c : cases) {
    g.rt.state.registers[1].clear();
    g.script("a", {std::string("proc door,") + c.phrase + ",yes", "reg$ 1,N", "goto q", ":yes", "reg$ 1,J", ":q",
                   "ifperg isq", "fim", ":isq", "reg$ 1,Q"});
    ASSERT_TRUE(run("a"));
    EXPECT_EQ(g.reg(1), c.result) << c.phrase;
    EXPECT_EQ(g.rt.state.questionFlag, c.flag);
  }
  g.script("b", {"proc ,anything,yes", "reg$ 2,N", ":yes"});
  g.rt.state.registers[2].clear();
  ASSERT_TRUE(run("b"));
  EXPECT_EQ(g.reg(2), "N");  // an empty keyword never occurs
}

TEST_F(Flow, IfarqJumpsOrRunsAScript) {
  g.folder.writeRaw("save.dat", "x");
  g.script("s", {"reg$ 1,S"});
  g.script("s.scp", {"reg$ 1,X"});  // the file looked for keeps the ".scp": s.scp.scp
  g.script("a", {"ifarq save.dat,yes", "reg$ 1,N", ":yes", "ifarq missing.dat,no", "ifarq save.dat,s.scp",
                 "reg$ 1,after", ":no"});
  ASSERT_TRUE(run("a"));
  EXPECT_EQ(g.reg(1), "X");
}

TEST_F(Flow, StopWaitsForAKeyOrAPress) {
  g.rt.state.heldKey = 0;
  g.host.onPump = [&] { g.rt.state.heldKey = 37; };
  g.script("a", {"stop 4"});
  ASSERT_TRUE(run("a"));
  EXPECT_EQ(g.reg(4), "Left");
  EXPECT_EQ(g.rt.state.heldKey, 0);

  g.host.onPump = [&] {
    g.rt.state.heldKey = 'A';
    g.rt.state.pressButton = "btrg";
  };
  g.script("b", {"break 999"});  // above the register count: register 0
  ASSERT_TRUE(run("b"));
  EXPECT_EQ(g.reg(0), "btrg");  // a press wins over a key
  EXPECT_EQ(g.rt.state.pressButton, "");
}
