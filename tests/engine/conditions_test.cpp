#include <gtest/gtest.h>

#include "support/gamefolder.h"
#include "text/strings.h"

using namespace corvant;
using corvant::test::LoadedGame;

namespace {

struct Conditions : ::testing::Test {
  // Runs `condition` followed by two marker lines and a label: register 1
  // ends "J" when the jump was taken, "NJ" when it was not.
  std::string jumped(const std::string& condition) {
    g.rt.state.registers[1].clear();
    g.trace->lines.clear();
    g.script("t", {condition, "reg$ 1,N", ":yes", "reg$ 1,J"});
    EXPECT_TRUE(g.freshRun("t")) << condition;
    return g.reg(1);
  }
  LoadedGame g;
};

}  // namespace

TEST_F(Conditions, JumpConditions) {
  auto& r = g.rt.state.registers;
  r[5] = "10";
  r[6] = "";
  r[7] = "abc";
  struct Case {
    const char* line;
    const char* result;
  } cases[] = {
      {"ifreg= 7,abc,yes", "J"},  {"ifreg= 7,ABC,yes", "NJ"}, {"ifreg# 7,ABC,yes", "J"},
      {"ifreg> 5,9,yes", "J"},    {"ifreg> 5,10,yes", "NJ"},  {"ifreg< 6,1,yes", "J"},  // empty is 0
      {"ifreg> 7,-1,yes", "J"},   {"ifreg< 5,x,yes", "NJ"},   {"ifreg= 7,abc,nolabel", "NJ"},
      {"ifmodo= 1,yes", "J"},     {"ifmodelo= ,yes", "J"},    {"ifmodo= 2,yes", "NJ"},
      {"ifreg~ 5,1,5,yes", "J"},  // "10" lies between "1" and "5" as text
      {"ifreg~ 7,a,b,yes", "J"},
  };
  for (const auto& c : cases) EXPECT_EQ(jumped(c.line), c.result) << c.line;
}

TEST_F(Conditions, RangeComparesAsTexts) {
  struct Case {
    const char* value;
    bool inside;
  } cases[] = {{"10", true}, {"3", true}, {"6", false}, {"", false}, {"1", true}, {"5", true}, {"50", false}};
  for (const auto& c : cases) {
    g.rt.state.registers[5] = c.value;
    EXPECT_EQ(jumped("ifreg~ 5,1,5,yes"), c.inside ? "J" : "NJ") << '"' << c.value << '"';
  }
  g.rt.state.registers[5] = "\xE9";  // bytes above 127 compare above ASCII
  EXPECT_EQ(jumped("ifreg~ 5,a,z,yes"), "NJ");
}

TEST_F(Conditions, TraceNotes) {
  g.rt.state.registers[5] = "3";
  jumped("ifreg= 5,3,yes");
  EXPECT_TRUE(text::contains(g.trace->lines.at(4), "ifreg= 5,3,yes <- saltou")) << g.trace->lines.at(4);
  jumped("ifreg= 5,4,yes");
  EXPECT_TRUE(text::contains(g.trace->lines.at(4), " <- n\xE3o saltou")) << g.trace->lines.at(4);
  jumped("ifreg= 300,4,yes");
  EXPECT_TRUE(text::contains(g.trace->lines.at(4), "300 <--- registrador fora de faixa"));
  jumped("ifreg~ 5,1,5,yes");
  EXPECT_TRUE(text::contains(g.trace->lines.at(4), "ifreg~ 51+5,yes,1,5,,yes,,,,,")) << g.trace->lines.at(4);
}

TEST_F(Conditions, ExecutionConditionsRunTheirEmbeddedCommand) {
  auto& r = g.rt.state.registers;
  r[5] = "7";
  struct Case {
    const char* line;
    const char* reg2;
  } cases[] = {
      {"if= 5,7,reg=,2,yes", "yes"},    {"if= 5,8,reg=,2,yes", ""},      {"if# 5,8,reg=,2,yes", "yes"},
      {"if> 5,6,reg=,2,yes", "yes"},    {"if< 5,6,reg=,2,yes", ""},      {"if~ 5,1,9,reg=,2,yes", "yes"},
      {"ifmod1 reg=,2,yes", "yes"},     {"ifmod2 reg=,2,yes", ""},       {"ifma= reg=,2,yes", ""},
      {"ifkor= reg=,2,yes", ""},        {"if= 5,7,if=,5,7,reg=,2,nest", "nest"},  // nested
      {"if= 5,7,reg$,2,a^b", "a,b"},    {"if= 5,7,reg=,2,$x", "x"},
  };
  for (const auto& c : cases) {
    r[2].clear();
    g.script("t", {c.line});
    EXPECT_TRUE(g.freshRun("t")) << c.line;
    EXPECT_EQ(r[2], c.reg2) << c.line;
  }
  g.script("t", {"if= 5,7,reg=,2,x"});
  g.freshRun("t");
  EXPECT_EQ(g.trace->lines.back(), "Exec: reg= 2,x");
}

TEST_F(Conditions, EmbeddedMessageEndsAtItsFirstComma) {
  g.rt.state.registers[5] = "1";
  g.script("t", {"if= 5,1,goto,b,c", ":b", "reg= 2,hit"});
  ASSERT_TRUE(g.freshRun("t"));
  EXPECT_EQ(g.reg(2), "hit");  // an embedded goto jumps
  g.script("t", {"if= 5,1,reg$,3,one,two"});
  ASSERT_TRUE(g.freshRun("t"));
  EXPECT_EQ(g.reg(3), "one");  // the embedded command got P1 "3", P2 "one"
}
