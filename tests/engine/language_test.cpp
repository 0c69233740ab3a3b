#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/gamefolder.h"

using namespace corvant;
using corvant::test::LoadedGame;

namespace {

struct LanguageTest : ::testing::Test {
  LanguageTest() { g.rt.state.language = "--"; }
  std::string call(const std::string& word, const std::vector<std::string>& params) { return g.call(word, params); }
  void nameRegister(int n, const std::string& name, const std::string& value) {
    g.rt.state.registerNames.at(static_cast<size_t>(n)) = name;
    g.rt.state.registers.at(static_cast<size_t>(n)) = value;
  }
  LoadedGame g;
};

struct PutlngCase {
  std::string param;
  std::string language;  // afterwards
  std::string trace;
};

TEST_F(LanguageTest, PutlngTakesOnlyTheKnownLowerCaseCodes) {
  const std::string refused = " <- este idioma n\xE3o \xE9 reconhecido";
  const PutlngCase cases[] = {
      {"br", "br", "br"},
      {"pt", "pt", "pt"},
      {"en", "en", "en"},
      {"fr", "fr", "fr"},
      {"es", "es", "es"},
      {"BR", "--", "BR" + refused},
      {"En", "--", "En" + refused},
      {"de", "--", "de" + refused},
      {"br ", "--", "br " + refused},
      {"", "--", refused},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("putlng " + c.param);
    g.rt.state.language = "--";
    EXPECT_EQ(call("putlng", {c.param}), c.trace);
    EXPECT_EQ(g.rt.state.language, c.language);
  }
}

TEST_F(LanguageTest, PutlngReadsANamedRegistersContent) {
  nameRegister(3, "idioma", "fr");
  EXPECT_EQ(call("putlng", {"$idioma"}), "fr");
  EXPECT_EQ(g.rt.state.language, "fr");
}

struct GetlngCase {
  std::string param;
  int reg;
  std::string trace;
};

TEST_F(LanguageTest, GetlngCopiesTheCodeIntoTheRegisterAndTracesIt) {
  nameRegister(12, "lingua", "");
  const GetlngCase cases[] = {
      {"7", 7, "7 = es"},
      {"", 0, "0 = es"},
      {"abc", 0, "abc = es"},
      {"$lingua", 12, "12 = es"},
      {"250", 250, "250 = es"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("getlng " + c.param);
    g.rt.state.registers.assign(g.rt.state.registers.size(), "old");
    g.rt.state.language = "es";
    EXPECT_EQ(call("getlng", {c.param}), c.trace);
    EXPECT_EQ(g.reg(c.reg), "es");
    EXPECT_EQ(std::count(g.rt.state.registers.begin(), g.rt.state.registers.end(), "es"), 1);
  }
}

TEST_F(LanguageTest, ScriptSetsAndReadsTheLanguageWithTraceNotes) {
  g.script("a", {"putlng en", "putlng EN", "getlng 4"});
  ASSERT_TRUE(g.freshRun("a"));
  EXPECT_EQ(g.reg(4), "en");
  const std::vector<std::string> tail(g.trace->lines.end() - 3, g.trace->lines.end());
  const std::vector<std::string> expected = {
      "   0: putlng en",
      "   1: putlng EN <- este idioma n\xE3o \xE9 reconhecido",
      "   2: getlng 4 = en",
  };
  EXPECT_EQ(tail, expected);
}

TEST_F(LanguageTest, GetlngIntoARegisterOutsideTheListFailsTheRun) {
  for (const std::string param : {"251", "-1"}) {
    SCOPED_TRACE(param);
    g.host.errors.clear();
    g.script("a", {"getlng " + param});
    EXPECT_FALSE(g.freshRun("a"));
    EXPECT_EQ(g.host.errors.size(), 1u);
  }
}

}  // namespace
