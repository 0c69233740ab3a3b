#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "runtime/config.h"
#include "support/gamefolder.h"
#include "text/cp1252.h"

using namespace corvant;
using corvant::test::LoadedGame;

namespace {

struct OsTest : ::testing::Test {
  std::string call(const std::string& word, const std::vector<std::string>& params) { return g.call(word, params); }
  void nameRegister(int n, const std::string& name, const std::string& value = {}) {
    g.rt.state.registerNames.at(static_cast<size_t>(n)) = name;
    g.rt.state.registers.at(static_cast<size_t>(n)) = value;
  }
  bool runs(const std::string& line) {
    g.host.errors.clear();
    g.script("a", {line});
    return g.freshRun("a");
  }
  std::string inFolder(const std::string& name) const { return text::fromQString(g.folder.path()) + name; }
  LoadedGame g;
};

TEST_F(OsTest, WinverNamesTheLastWindowsReleaseFoundInTheProductName) {
  const std::pair<std::string, std::string> cases[] = {
      {"Microsoft Windows 10 Pro", "10"},
      {"Windows 8.1", "8"},
      {"Windows 7 Ultimate", "7"},
      {"Windows XP Professional", "XP"},
      {"Debian GNU/Linux 12 (bookworm)", "?"},
      {"Windows 11 Version 23H2", "?"},
      {"windows 10", "?"},
      {"", "?"},
      {"Windows 7 with Windows XP Mode", "XP"},
      {"Windows XP Mode on Windows 7", "XP"},
      {"Windows 10 upgraded from Windows 8", "8"},
  };
  for (const auto& [product, release] : cases) {
    SCOPED_TRACE(product);
    g.host.product = product;
    g.rt.state.registers.at(6) = "old";
    call("winver", {"6"});
    EXPECT_EQ(g.reg(6), release);
  }
}

TEST_F(OsTest, WinverRegisterParameter) {
  nameRegister(33, "sistema");
  g.host.product = "Windows XP";
  const std::pair<std::string, int> cases[] = {{"", 0}, {"nada", 0}, {"$sistema", 33}, {"250", 250}};
  for (const auto& [param, n] : cases) {
    SCOPED_TRACE(param);
    g.rt.state.registers.assign(g.rt.state.registers.size(), "old");
    call("winver=", {param});
    EXPECT_EQ(g.reg(n), "XP");
  }
  EXPECT_FALSE(runs("winver 251"));
  EXPECT_EQ(g.host.errors.size(), 1u);
}

TEST_F(OsTest, ExecutarOpensADocumentWithTheDesktopWhenItHasNoParameters) {
  nameRegister(8, "doc", "manual do jogo.pdf");
  ASSERT_TRUE(runs("executar leiame.txt"));
  call("execute", {"$doc"});
  call("executar", {"http://example.org/ajuda"});
  const std::vector<std::string> expected = {"leiame.txt", "manual do jogo.pdf", "http://example.org/ajuda"};
  EXPECT_EQ(g.host.opened, expected);
}

TEST_F(OsTest, ExecutarWithoutADocumentDoesNothing) {
  for (const std::string word : {"executar", "executar#"}) {
    SCOPED_TRACE(word);
    g.host.pumps = 0;
    call(word, {"", ""});
    call(word, {"", "-x"});
    EXPECT_TRUE(g.host.opened.empty());
    EXPECT_EQ(g.host.pumps, 0);
  }
}

TEST_F(OsTest, ExecutarStartsAProgramWithItsParametersAndGoesOn) {
  const std::string made = inFolder("feito");
  ASSERT_TRUE(runs("executar touch,  " + made + "  "));
  EXPECT_TRUE(g.host.opened.empty());
  QElapsedTimer waited;
  waited.start();
  while (!QFile::exists(text::toQString(made)) && waited.elapsed() < 10'000) QThread::msleep(10);
  EXPECT_TRUE(QFile::exists(text::toQString(made)));
}

TEST_F(OsTest, AMissingProgramIsNotTheGamesFailure) {
  for (const std::string line :
       {"executar /nao/existe,x", "execute /nao/existe,-a -b", "executar# /nao/existe", "execute# /nao/existe,x y"}) {
    SCOPED_TRACE(line);
    EXPECT_TRUE(runs(line));
    EXPECT_TRUE(g.host.errors.empty());
  }
  g.host.pumps = 0;
  call("executar#", {"/nao/existe", ""});
  EXPECT_EQ(g.host.pumps, 0);
  EXPECT_TRUE(g.host.opened.empty());
}

TEST_F(OsTest, ExecutarHashWaitsForTheProgramWhileProcessingEvents) {
  bool delivered = false;
  g.host.onPump = [&] { delivered = true; };
  QElapsedTimer timer;
  timer.start();
  call("executar#", {"sleep", "0.3"});
  EXPECT_GE(timer.elapsed(), 300);
  EXPECT_TRUE(delivered);
  EXPECT_GT(g.host.pumps, 1);
  EXPECT_GT(g.host.sleptMs, 0);

  // The program has finished its work when the command returns.
  const std::string made = inFolder("pronto");
  call("execute#", {"touch", made});
  EXPECT_TRUE(QFile::exists(text::toQString(made)));
}

struct SetdefsCase {
  std::string params;
  int index;
  std::string value;
};

TEST_F(OsTest, SetdefsChangesAConfigurationEntryInMemory) {
  nameRegister(12, "nome", "conteudo");
  const SetdefsCase cases[] = {
      {"40,abc", 40, "abc"},
      {"109,ultimo", 109, "ultimo"},
      {",zero", 0, "zero"},
      {"x,zero", 0, "zero"},
      {"41,$nome", 41, "12"},
      {"$nome,pelo nome", 12, "pelo nome"},
      {"42,$sem registro", 42, "sem registro"},
      {"43", 43, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.params);
    g.rt.state.config.set(c.index, "old");
    g.script("a", {"setdefs " + c.params});
    ASSERT_TRUE(g.freshRun("a"));
    EXPECT_EQ(g.rt.state.config.at(c.index), c.value);
    EXPECT_EQ(g.trace->lines.back(), "   0: setdefs ");
  }
  EXPECT_EQ(g.rt.state.config.size(), cfg::kPaddedSize);
  // Only the memory copy changes; the game's file is written at shutdown.
  EXPECT_EQ(g.folder.read("game.ini").at(40), "");
}

TEST_F(OsTest, SetdefsOutsideTheConfigurationFailsTheRun) {
  ASSERT_EQ(g.rt.state.config.size(), 110);
  for (const std::string index : {"110", "-1", "5000"}) {
    SCOPED_TRACE(index);
    EXPECT_FALSE(runs("setdefs= " + index + ",x"));
    ASSERT_EQ(g.host.errors.size(), 1u);
    EXPECT_NE(g.host.errors[0].find(index), std::string::npos) << g.host.errors[0];
    EXPECT_EQ(g.rt.state.config.size(), 110);
  }
}

struct ScriptcmdCase {
  std::string word, param, trace, vocabulary;
};

TEST_F(OsTest, ScriptcmdChoosesAnExistingScriptForTheCommandLine) {
  g.script("verbos", {"' ok '"});
  nameRegister(7, "voc", "verbos");
  const std::string none = " <--- n\xE3o especificou o script", missing = " <--- n\xE3o existe este script";
  const ScriptcmdCase cases[] = {
      {"scriptcmd=", "verbos", "verbos", "verbos"},
      {"scpcmd=", "verbos", "verbos", "verbos"},
      {"scriptcmd=", "$voc", "verbos", "verbos"},
      {"scriptcmd=", "VERBOS", "VERBOS", "VERBOS"},
      {"scriptcmd=", "nada", "nada" + missing, "antes"},
      {"scpcmd=", "verbos.scp", "verbos.scp" + missing, "antes"},
      {"scriptcmd=", "", none, "antes"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.word + " " + c.param);
    g.rt.state.vocabularyScript = "antes";
    EXPECT_EQ(call(c.word, {c.param}), c.trace);
    EXPECT_EQ(g.rt.state.vocabularyScript, c.vocabulary);
  }
}

}  // namespace
