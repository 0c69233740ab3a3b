#include <gtest/gtest.h>

#include "engine/driver.h"
#include "engine/guard.h"
#include "runtime/savedgame.h"
#include "runtime/startup.h"
#include "support/gamefolder.h"
#include "text/strings.h"

using namespace corvant;
using corvant::test::GameFolder;
using corvant::test::LoadedGame;

TEST(SavedGameLoad, ReplacesEveryListAndTakesStateFromTheSavedConfiguration) {
  GameFolder f;
  f.writeConfig("game", {{5, "3"}, {6, "intro"}, {7, "sala"}, {8, "volta"}, {9, "chave"}, {10, "quarto"}});
  f.write("game.rgs", {"r0", "r1", "r2", "r3"});
  f.write("game.nrg", {"", "ouro", "", ""});
  f.write("game.obz", {"chave"});
  f.write("game.obx", {"chave", "Chave", "Uma chave", "quarto", "", "", "", ""});
  GameState s;
  s.paths.gameFolder = f.path();
  s.registerCount = 3;  // names are checked against the count before the load
  s.triggerCountdown = 4;
  s.timerScript = "tick";
  ASSERT_EQ(loadGame(s, "game"), "");
  EXPECT_TRUE(s.gameLoaded);
  EXPECT_EQ(s.registerCount, 3);
  EXPECT_EQ(s.registers.at(3), "r3");
  EXPECT_EQ(s.registerNames.at(1), "ouro");
  EXPECT_EQ(s.objectRecords.at(3), "quarto");
  EXPECT_EQ(s.iniScp, "intro");
  EXPECT_EQ(s.script, "sala");
  EXPECT_EQ(s.retScp, "volta");
  EXPECT_EQ(s.objeto, "chave");
  EXPECT_EQ(s.posic, "quarto");
  EXPECT_EQ(s.paths.adventureFolder, f.path());
  EXPECT_EQ(s.triggerCountdown, 0);
  EXPECT_EQ(s.timerScript, "");
  EXPECT_TRUE(text::startsWith(s.paths.fileBase, "file:///"));
  EXPECT_EQ(s.paths.fileBase.back(), '/');
}

TEST(SavedGameLoad, ShortOrMissingNameFileBecomesEmptyNames) {
  for (bool writeShort : {true, false}) {
    GameFolder f;
    f.writeConfig("game");
    f.writeSavedGame("game");
    if (writeShort) f.write("game.nrg", std::vector<std::string>(250, "n"));  // one short of 251
    GameState s;
    s.paths.gameFolder = f.path();
    ASSERT_EQ(loadGame(s, "game"), "");
    EXPECT_EQ(s.registerNames, std::vector<std::string>(251));
  }
}

TEST(SavedGameLoad, AMissingRequiredFileChangesNothingAndNamesTheFile) {
  for (const char* missing : {"game.ini", "game.rgs", "game.obz", "game.obx"}) {
    GameFolder f;
    f.writeConfig("game");
    f.writeSavedGame("game");
    QFile::remove(f.path() + missing);
    GameState s;
    s.paths.gameFolder = f.path();
    s.registers = {"keep"};
    s.script = "before";
    const std::string err = loadGame(s, "game");
    EXPECT_TRUE(text::contains(err, missing)) << err;
    EXPECT_FALSE(s.gameLoaded);
    EXPECT_EQ(s.registers, std::vector<std::string>{"keep"});
    EXPECT_EQ(s.script, "before");
  }
}

TEST(SavedGameCommands, SaveregsAndSaveobjsWriteTheFiles) {
  LoadedGame g;
  g.rt.state.registers[4] = "four";
  g.rt.state.objectRecords = std::vector<std::string>(8, "rec");
  g.script("a", {"saveregs extra", "saveregs copy.rgs.bak", "saveobjs", "saveregs"});
  ASSERT_TRUE(g.freshRun("a"));
  EXPECT_EQ(g.folder.read("extra.rgs").at(4), "four");
  EXPECT_EQ(g.folder.read("copy.rgs.bak").at(4), "four");  // already holds ".rgs"
  EXPECT_EQ(g.folder.read("game.obx"), std::vector<std::string>(8, "rec"));
  EXPECT_EQ(g.folder.read("game.rgs").size(), 251u);
}

TEST(SavedGameCommands, LoadregsChecksItsParametersInOrder) {
  LoadedGame g;
  g.folder.write("part.rgs", {"l0", "l1", "l2", "l3"});
  struct Case {
    const char* params;
    const char* note;  // the end of the trace line; empty: copied
  } cases[] = {
      {"nofile", " <--- arquivo n\xE3o existe"},
      {"part", " <--- n\xE3o definiu registrador inicial"},
      {"part,x", " <--- registrador inicial n\xE3o num\xE9rico"},
      {"part,251", " <--- registrador fora da faixa"},
      {"part,-1", " <--- registrador fora da faixa"},
      {"part,10,", " <--- \xEDndice inicial n\xE3o num\xE9rico"},
      {"part,10,4", " <--- \xEDndice maior que total de linhas"},
      {"part,10,1,", " <--- quantidade n\xE3o num\xE9rica"},
      {"part,10,1,5", " <--- quantidade maior que total de linhas"},
  };
  for (const auto& c : cases) {
    g.script("a", {std::string("loadregs ") + c.params});
    ASSERT_TRUE(g.freshRun("a")) << c.params;
    const std::string& traced = g.trace->lines.back();
    EXPECT_TRUE(text::contains(traced, c.note)) << c.params << " -> " << traced;
    EXPECT_EQ(g.reg(10), "") << c.params;
  }
}

TEST(SavedGameCommands, LoadregsCopiesCountPlusOneLines) {
  LoadedGame g;
  g.folder.write("part.rgs", {"l0", "l1", "l2", "l3"});
  g.script("a", {"loadregs part,10,1,2", "loadregs part.rgs,20,3,0"});
  ASSERT_TRUE(g.freshRun("a"));
  EXPECT_EQ(g.reg(9), "");
  EXPECT_EQ(g.reg(10), "l1");
  EXPECT_EQ(g.reg(12), "l3");
  EXPECT_EQ(g.reg(13), "");
  EXPECT_EQ(g.reg(20), "l3");  // 0 copies exactly one line
  EXPECT_EQ(g.reg(21), "");
}

TEST(SavedGameCommands, LoadregsRangePastTheFileFailsWithoutChangingRegisters) {
  LoadedGame g;
  g.folder.write("part.rgs", {"l0", "l1", "l2", "l3"});
  g.script("a", {"loadregs part,10,2,3"});
  EXPECT_FALSE(g.freshRun("a"));
  EXPECT_EQ(g.reg(10), "");
  EXPECT_EQ(g.host.errors.size(), 1u);
  g.script("b", {"loadregs part,249,0,3"});  // registers run past 250
  EXPECT_FALSE(g.freshRun("b"));
  EXPECT_EQ(g.reg(249), "");
}

TEST(SavedGameCommands, LoadregsWithoutFileTakesTheWholeSavedRegisters) {
  LoadedGame g;
  g.folder.write("game.rgs", {"a", "b", "c"});
  g.script("a", {"loadregs", "t"});
  ASSERT_TRUE(g.freshRun("a"));
  EXPECT_EQ(g.rt.state.registers, (std::vector<std::string>{"a", "b", "c"}));
}

TEST(SavedGameCommands, ResetClearsWhatItNames) {
  LoadedGame g;
  auto& s = g.rt.state;
  s.registers.assign(251, "v");
  s.registerNames.assign(251, "n");
  s.link.prm = "p";
  g.folder.writeRaw("mapa.bmp", "x");
  g.script("a", {"reset regs", "reset nomeregs", "reset param", "reset mapa,mapa.bmp", "reset mapa,", "reset whatever"});
  ASSERT_TRUE(g.freshRun("a"));
  EXPECT_EQ(s.registers.at(250), "");  // the highest register too
  EXPECT_EQ(s.registers.at(0), "");
  EXPECT_EQ(s.registerNames, std::vector<std::string>(251));
  EXPECT_EQ(s.link.prm, "");
  EXPECT_FALSE(g.folder.exists("mapa.bmp"));
}

TEST(SavedGameCommands, ResetObjsRebuildsRecordsFromObjectFiles) {
  LoadedGame g;
  auto& s = g.rt.state;
  s.objectList = {"chave", "livro"};
  s.objectRecords = {"chave", "C", "", "jog", "", "", "", "", "livro", "L", "", "jog", "", "", "", ""};
  g.folder.write("chave.obj", {"chave", "Chave", "Uma chave", "sala", "chave.png", "t1", "t2", "t3", "extra"});
  g.folder.write("livro.obj", {"livro", "Livro", "Um livro", "quarto", "", "", "", ""});
  g.script("one", {"reset objs,livro"});
  ASSERT_TRUE(g.freshRun("one"));
  EXPECT_EQ(s.objectRecords.at(3), "jog");
  EXPECT_EQ(s.objectRecords.at(11), "quarto");
  g.script("all", {"reset objs,todos"});
  ASSERT_TRUE(g.freshRun("all"));
  EXPECT_EQ(s.objectRecords.size(), 16u);
  EXPECT_EQ(s.objectRecords.at(3), "sala");
  EXPECT_EQ(g.folder.read("game.obx").at(4), "chave.png");

  g.folder.write("livro.obj", {"livro", "short"});
  g.script("bad", {"reset objs"});
  EXPECT_FALSE(g.freshRun("bad"));
  ASSERT_FALSE(g.host.errors.empty());
  EXPECT_TRUE(text::contains(g.host.errors.back(), "livro.obj")) << g.host.errors.back();
}

TEST(SavedGameShutdown, WritesStateIntoTheConfigurationAndEveryFile) {
  LoadedGame g;
  auto& s = g.rt.state;
  s.iniScp = "intro";
  s.script = "sala";
  s.posic = "quarto";
  s.carriedValue = "carried";
  s.registers[7] = "seven";
  s.registerNames[2] = "dois";
  s.objectList = {"k"};
  s.objectRecords = std::vector<std::string>(8, "r");
  s.config.lines.resize(90);  // shorter than the minimum written
  ASSERT_TRUE(shutdownSave(s, {15, 25, 800, 600}).empty());
  const auto ini = g.folder.read("game.ini");
  ASSERT_GE(ini.size(), 101u);
  EXPECT_EQ(ini[0], "15");
  EXPECT_EQ(ini[1], "25");
  EXPECT_EQ(ini[4], "game");
  EXPECT_EQ(ini[5], "250");
  EXPECT_EQ(ini[6], "intro");
  EXPECT_EQ(ini[7], "sala");
  EXPECT_EQ(ini[10], "quarto");
  EXPECT_EQ(ini[11], "800");
  EXPECT_EQ(ini[12], "600");
  EXPECT_EQ(ini[95], "carried");
  EXPECT_EQ(g.folder.read("game.rgs").at(7), "seven");
  EXPECT_EQ(g.folder.read("game.nrg").at(2), "dois");
  EXPECT_EQ(g.folder.read("game.obz"), std::vector<std::string>{"k"});
  EXPECT_EQ(g.folder.read("game.obx").size(), 8u);
}

TEST(SavedGameShutdown, NothingIsWrittenOverASavedGameThatWasNeverLoaded) {
  GameFolder f;
  f.writeConfig("game");
  f.write("game.rgs", {"precious"});
  f.writeSavedGame("other");
  GameState s;
  s.paths.gameFolder = f.path();
  s.paths.gameName = "game";
  ASSERT_TRUE(readConfiguration(s).empty());
  ASSERT_TRUE(shutdownSave(s, {}).empty());  // closed on the opening screen
  EXPECT_EQ(f.read("game.rgs"), std::vector<std::string>{"precious"});
  EXPECT_FALSE(f.exists("game.nrg"));

  s.loadFailed = true;  // a failed load writes nothing at all
  f.writeRaw("game.ini", "5\r\n");
  ASSERT_TRUE(shutdownSave(s, {}).empty());
  EXPECT_EQ(f.readRaw("game.ini"), "5\r\n");
}
