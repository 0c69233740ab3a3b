#include <gtest/gtest.h>

#include "support/gamefolder.h"
#include "text/numbers.h"
#include "text/strings.h"

using namespace corvant;
using corvant::test::LoadedGame;

namespace {

// Runs lines as one script and returns register 1.
struct Regs : ::testing::Test {
  std::string run(const std::vector<std::string>& lines, int regNo = 1) {
    g.script("t", lines);
    ok = g.freshRun("t");
    return g.reg(regNo);
  }
  std::string lastTrace() const { return g.trace->lines.back(); }
  LoadedGame g;
  bool ok = false;
};

}  // namespace

TEST_F(Regs, ArithmeticWrapsTruncatesAndFallsBack) {
  struct Case {
    const char* start;
    const char* line;
    const char* result;
  } cases[] = {
      {"5", "reg+ 1,3", "8"},
      {"word", "reg+ 1,3", "3"},  // a register holding a word counts as 0
      {"5", "reg+ 1,", "5"},
      {"5", "reg+ 1,x", "5"},
      {"5", "reg- 1,7", "-2"},
      {"2147483647", "reg+ 1,1", "-2147483648"},
      {"-2147483648", "dec 1", "2147483647"},
      {"2147483647", "inc 1", "-2147483648"},
      {"65536", "reg* 1,65536", "0"},
      {"7", "reg* 1,", "7"},
      {"7", "reg* 1,x", "7"},
      {"-7", "reg/ 1,2", "-3"},
      {"10", "reg/ 1,3", "3"},
      {"7", "reg/ 1,", "7"},
      {"-2147483648", "reg/ 1,-1", "-2147483648"},
      {"$10", "reg+ 1,$1", "17"},  // hexadecimal in the register; "$1" is a register name
      {"10", "reg: 1,4", "2.5"},
      {"10", "reg: 1,3", "3.33333333333333"},
      {"2.5", "reg: 1,2", "0"},    // a fraction in the register counts as 0
      {"1", "reg: 1,1e-7", "10000000"},
      {"1", "reg: 1,100000", "1E-5"},
      {"1", "reg: 1,1e-20", "1E20"},
      {"9", "reg: 1,", "9"},
      {"9", "reg: 1,abc", "9"},
      {"5", "reg? 1,0", "5"},
      {"5", "reg? 1,", "5"},
  };
  for (const auto& c : cases) {
    g.rt.state.registers[1] = c.start;
    EXPECT_EQ(run({c.line}), c.result) << c.start << " | " << c.line;
    EXPECT_TRUE(ok) << c.line;
  }
}

TEST_F(Regs, DivisionByZeroFailsTheRun) {
  for (const char* line : {"reg/ 1,0", "reg: 1,0", "reg: 1,0.0"}) {
    g.rt.state.registers[1] = "4";
    run({line, "reg= 2,after"});
    EXPECT_FALSE(ok) << line;
    EXPECT_EQ(g.reg(1), "4");
    EXPECT_EQ(g.reg(2), "");
  }
}

TEST_F(Regs, RandomStaysInsideItsBound) {
  for (int i = 0; i < 50; ++i) {
    g.rt.state.registers[1] = "10";
    const int v = std::stoi(run({"reg? 1,3"}));
    EXPECT_GE(v, 10);
    EXPECT_LE(v, 13);
  }
}

TEST_F(Regs, RangeCheckTracesAndNegativeNumbersFail) {
  run({"reg= 250,top", "reg= 251,no"});
  EXPECT_TRUE(ok);
  EXPECT_EQ(g.reg(250), "top");  // the highest register is writable
  EXPECT_TRUE(text::contains(lastTrace(), "251 <--- registrador fora de faixa")) << lastTrace();
  run({"reg= -1,x"});
  EXPECT_FALSE(ok);  // passes the check, then fails the run
  EXPECT_TRUE(text::contains(g.host.errors.back(), "reg= -1,x"));
}

TEST_F(Regs, HashReadsOnlyBelowTheRegisterCountButRegCanWriteIt) {
  g.rt.state.registers[250] = "last";
  g.rt.state.registers[249] = "before";
  EXPECT_EQ(run({"reg= 1,#250"}), "250");
  EXPECT_EQ(run({"reg= 1,#249"}), "before");
}

TEST_F(Regs, NamesInNumberAndValueForms) {
  run({"defreg 7,gold", "defreg 8", "reg= 7,12", "reg= $gold,15", "reg= 9,$gold", "reg= $nobody,zero", "reg= 10,$8x"});
  EXPECT_TRUE(ok);
  EXPECT_EQ(g.reg(7), "15");
  EXPECT_EQ(g.reg(9), "15");
  EXPECT_EQ(g.reg(0), "zero");  // a name nobody carries addresses register 0
  EXPECT_EQ(g.reg(10), "8x");   // value form of an unknown name: the name itself
  EXPECT_EQ(g.rt.state.registerNames.at(8), "reg8");
  EXPECT_EQ(g.folder.read("game.nrg").at(7), "gold");  // names are saved at once
  run({"reg= 1,$ gold "});  // the name is trimmed
  EXPECT_EQ(g.reg(1), "15");
  run({"clearnomeregs", "reg= $gold,1"});
  EXPECT_EQ(g.reg(0), "1");
  run({"defreg 251,toolong"});
  EXPECT_FALSE(ok);
}

TEST_F(Regs, DupAndSwapCopyUpwardOneAtATime) {
  auto& r = g.rt.state.registers;
  r[10] = "a";
  r[11] = "b";
  r[12] = "c";
  run({"dup 11,10,3"});
  EXPECT_EQ(std::vector<std::string>(r.begin() + 10, r.begin() + 15), (std::vector<std::string>{"a", "a", "a", "a", ""}));
  r[20] = "x";
  r[21] = "y";
  r[30] = "p";
  r[31] = "q";
  run({"swap 20,30,2", "copy 40,20", "dup 41,20,0"});
  EXPECT_EQ(r[20], "p");
  EXPECT_EQ(r[31], "y");
  EXPECT_EQ(r[40], "p");
  EXPECT_EQ(r[41], "");
  run({"dup 251,1"});
  EXPECT_TRUE(text::contains(lastTrace(), "251,1 <--- registrador 1 fora de faixa")) << lastTrace();
  run({"dup 1,251"});
  EXPECT_TRUE(text::contains(lastTrace(), " <--- registrador 2 fora de faixa"));
  run({"dup 249,1,3"});  // runs past the last register
  EXPECT_FALSE(ok);
}

TEST_F(Regs, TextCommands) {
  auto& r = g.rt.state.registers;
  r[1] = "ab";
  run({"reg$ 1,c~d^e", "concat 1,\xA7"});
  EXPECT_EQ(r[1], "abc d,e\r\n");
  r[2] = "  \t padded \r";
  run({"trim 2"});
  EXPECT_EQ(r[2], "padded");
  r[3] = "x";
  r[4] = "y";
  run({"regind= 5,3", "regind+ 5,4", "regind+ 6,notanumber"});
  EXPECT_EQ(r[5], "xy");
  EXPECT_EQ(r[6], r[0]);
  run({"regind= 1,300"});
  EXPECT_FALSE(ok);  // no range check: outside the list fails
}

TEST_F(Regs, ClearregsKeepsTheLastRegister) {
  g.rt.state.registers.assign(251, "v");
  run({"clearregs"});
  EXPECT_EQ(g.reg(0), "");
  EXPECT_EQ(g.reg(249), "");
  EXPECT_EQ(g.reg(250), "v");
  g.rt.state.registers[3] = "w";
  run({"ckearegs"});
  EXPECT_EQ(g.reg(3), "");
}

TEST_F(Regs, MoneyFormat) {
  struct Case {
    const char* value;
    const char* money;
  } cases[] = {{"1234.5", "R$ 1,234.5"}, {"0", "R$ 0"},         {"0.5", "R$ .5"},        {"x", "R$ 0"},
               {"1234567.123456", "R$ 1,234,567.12346"},    {"-42", "R$ -42"},       {"100", "R$ 100"},
               {"0.000001", "R$ 0"}};
  for (const auto& c : cases) {
    g.rt.state.registers[1] = c.value;
    EXPECT_EQ(run({"convreg$ 1"}), c.money) << c.value;
  }
}

TEST_F(Regs, RegtxtCapturesLinesUntilTheClosingApostrophe) {
  g.rt.state.registers[9] = "nine";
  g.rt.state.modelo = "1";
  run({"regtxt= 1,'First~line^ok", "  #9  ", "#abc", "last' ignored", "reg= 2,after"});
  EXPECT_TRUE(ok);
  EXPECT_EQ(g.reg(1), "First line,ok nine  last");
  EXPECT_EQ(g.reg(2), "after");
  EXPECT_TRUE(text::contains(g.trace->lines.at(g.trace->lines.size() - 2), ",last'...")) << g.trace->lines.back();

  g.rt.state.registers[1] = "pre ";
  run({"regtxt+ 1,'one line'", "reg= 3,x"});
  EXPECT_EQ(g.reg(1), "pre one line");
  EXPECT_EQ(g.reg(3), "x");

  run({"regtxt= 1,'never closed", "more"});  // runs out of lines: ends quietly
  EXPECT_TRUE(ok);
  EXPECT_EQ(g.reg(1), "never closed more ");
}

TEST_F(Regs, GetvarAndParam) {
  auto& s = g.rt.state;
  s.modelo = "3";
  s.objeto = "key";
  run({"getvar 1,Model", "getvar 2,Objeto", "getvar 3,Posic", "getvar 4,posic"});
  EXPECT_EQ(g.reg(1), "3");
  EXPECT_EQ(g.reg(2), "key");
  EXPECT_EQ(g.reg(3), "");  // empty variable: unchanged, traced
  EXPECT_TRUE(text::contains(lastTrace(), " <--- vari\xE1vel desconhecida"));
  g.script("p", {"param= 1,prm", "param= 2,Pry", "param= 3,other"});
  g.freshRun("p&Prm=hello&Pry=7");
  EXPECT_EQ(g.reg(1), "hello");
  EXPECT_EQ(g.reg(2), "7");
  EXPECT_TRUE(text::contains(lastTrace(), "other <--- par\xE2metro desconhecido"));
}
