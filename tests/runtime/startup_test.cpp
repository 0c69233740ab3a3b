#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "app/program.h"
#include "presentation/mainwindow.h"
#include "runtime/startup.h"
#include "support/gamefolder.h"
#include "support/program.h"
#include "text/strings.h"

using namespace corvant;
using corvant::test::GameFolder;
using corvant::test::TestHost;

TEST(StartupLaunch, GameFromTheIniPathOrFromTheExecutable) {
  const QString exe = "/opt/games/aventura/aventura.exe";
  struct Case {
    QStringList args;
    QString folder, name, arg, trace;
    bool chdir;
  } cases[] = {
      {{"x"}, "/opt/games/aventura/", "aventura", "", "", false},
      {{"x", "xz"}, "/opt/games/aventura/", "aventura", "xz", "", false},
      {{"x", "/g/demo/Demo.INI", "xz"}, "/g/demo/", "Demo", "xz", "", true},
      {{"x", "--trace", "/tmp/t.txt", "/g/demo/demo.ini"}, "/g/demo/", "demo", "", "/tmp/t.txt", true},
      {{"x", "--trace=/tmp/u.txt"}, "/opt/games/aventura/", "aventura", "", "/tmp/u.txt", false},
  };
  for (const auto& c : cases) {
    const LaunchOptions o = parseLaunch(c.args, exe);
    EXPECT_EQ(o.gameFolder, c.folder) << c.args.join(' ').toStdString();
    EXPECT_EQ(o.gameName, c.name);
    EXPECT_EQ(o.commandArg, c.arg);
    EXPECT_EQ(o.traceFile, c.trace);
    EXPECT_EQ(o.changeDirectory, c.chdir);
  }
  EXPECT_EQ(parseLaunch({"x"}, "/usr/bin/corvant").gameName, "corvant");
  EXPECT_FALSE(parseLaunch({"x", "--trace"}, exe).error.isEmpty());
}

TEST(StartupConfiguration, ReadsAnyLineEndPadsTo110AndTakesTheStateVariables) {
  GameFolder f;
  f.writeRaw("g.ini", "0\r\n1\n2\r3\r\n\r\n120\r\nintro\r\ncur\nret\robj\r\npos\r\n900\r\n420\r\n");
  GameState s;
  s.paths.gameFolder = f.path();
  s.paths.gameName = "g";
  ASSERT_TRUE(readConfiguration(s).empty());
  EXPECT_EQ(s.config.size(), 110);
  EXPECT_EQ(s.config.at(3), "3");
  EXPECT_EQ(s.config.at(4), "");
  EXPECT_EQ(s.registerCount, 120);
  EXPECT_EQ(s.registers.size(), 121u);
  EXPECT_EQ(s.iniScp, "intro");
  EXPECT_EQ(s.script, "cur");
  EXPECT_EQ(s.retScp, "ret");
  EXPECT_EQ(s.objeto, "obj");
  EXPECT_EQ(s.posic, "pos");
  EXPECT_EQ(s.saveName(), "g");
}

TEST(StartupConfiguration, BadNumbersAreReportedWithFileAndLineAndTakeDefaults) {
  GameFolder f;
  f.writeConfig("g", {{5, "lots"}, {11, "wide"}, {12, "0"}});
  GameState s;
  s.paths.gameFolder = f.path();
  s.paths.gameName = "g";
  auto messages = readConfiguration(s);
  const WindowSize size = configuredWindowSize(s, messages);
  ASSERT_EQ(messages.size(), 3u);
  EXPECT_FALSE(messages[0].fatal);
  EXPECT_TRUE(text::contains(messages[0].text, "g.ini, line 6")) << messages[0].text;
  EXPECT_TRUE(text::contains(messages[1].text, "line 12")) << messages[1].text;
  EXPECT_TRUE(text::contains(messages[2].text, "line 13")) << messages[2].text;
  EXPECT_EQ(s.registerCount, 250);
  EXPECT_EQ(size.width, 900);
  EXPECT_EQ(size.height, 420);
}

TEST(StartupConfiguration, MissingFileIsFatal) {
  GameFolder f;
  GameState s;
  s.paths.gameFolder = f.path();
  s.paths.gameName = "g";
  auto messages = readConfiguration(s);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_TRUE(messages[0].fatal);
  EXPECT_TRUE(text::contains(messages[0].text, "g.ini"));
  EXPECT_FALSE(s.configLoaded);
}

using corvant::test::ProgramOnFolder;

TEST(StartupProgram, ClickingTheOpeningPictureLoadsTheGameAndRunsTheStartScript) {
  GameFolder f;
  f.writeConfig("g", {{6, "intro"}, {11, "300"}, {12, "200"}, {14, "Fundo.png"}});
  f.writeSavedGame("g");
  QImage background(300, 200, QImage::Format_RGB32);
  background.fill(QColor(10, 200, 30));
  ASSERT_TRUE(background.save(f.path() + "fundo.PNG"));  // found without regard to case
  f.write("start.scp", {"/ only has to exist"});
  f.write("intro.scp", {"'hello'", "encerrar 0"});
  ProgramOnFolder p(f);
  ASSERT_TRUE(p.program->startedOk());
  EXPECT_EQ(p.program->mainWindow().Abok0->currentIndex(), TForm1::PageAbertura);

  p.clickOpening(Qt::ControlModifier);  // Ctrl held: no start
  EXPECT_FALSE(p.program->runtime().state.gameLoaded);

  p.clickOpening();
  const GameState& s = p.program->runtime().state;
  EXPECT_TRUE(s.gameLoaded);
  EXPECT_EQ(s.script, "intro");
  EXPECT_EQ(s.textBuffer, "hello");
  EXPECT_TRUE(p.host.quitRequested);
  EXPECT_TRUE(p.host.errors.empty());
  EXPECT_EQ(p.program->mainWindow().Abok0->currentIndex(), TForm1::PageDefault);
  EXPECT_EQ(p.program->mainWindow().size(), QSize(300, 200));
  EXPECT_EQ(p.program->mainWindow().Imp->picture().pixel(150, 100), qRgb(10, 200, 30));
}

TEST(StartupProgram, MissingStartScriptEndsWithoutTouchingTheSavedGame) {
  GameFolder f;
  f.writeConfig("g");
  f.write("g.rgs", {"precious"});
  f.write("g.obz", {});
  f.write("g.obx", {});
  ProgramOnFolder p(f);
  p.clickOpening();
  EXPECT_TRUE(p.host.quitRequested);
  p.program->shutdown();
  EXPECT_EQ(f.read("g.rgs"), std::vector<std::string>{"precious"});
  EXPECT_EQ(f.read("g.ini").size(), 110u);  // the configuration is written back
}

TEST(StartupProgram, UnreadableSavedGameIsReportedAndNothingIsWritten) {
  GameFolder f;
  f.writeConfig("g");
  f.write("start.scp", {"encerrar 0"});
  f.write("g.obz", {});
  f.write("g.obx", {});
  const std::string iniBefore = f.readRaw("g.ini");
  ProgramOnFolder p(f);
  p.clickOpening();
  ASSERT_EQ(p.host.errors.size(), 1u);
  EXPECT_TRUE(text::contains(p.host.errors[0], "g.rgs")) << p.host.errors[0];
  EXPECT_TRUE(p.host.quitRequested);
  EXPECT_EQ(p.host.exitCode, 1);
  p.program->shutdown();
  EXPECT_EQ(f.readRaw("g.ini"), iniBefore);
  EXPECT_FALSE(f.exists("g.rgs"));
}

TEST(StartupProgram, DraggingTheOpeningPictureMovesTheWindow) {
  GameFolder f;
  f.writeConfig("g");
  ProgramOnFolder p(f);
  TForm1& w = p.program->mainWindow();
  w.show();
  const QPoint before = w.pos();
  QTest::mousePress(w.TelAber, Qt::LeftButton, {}, QPoint(10, 10));
  QMouseEvent move(QEvent::MouseMove, QPointF(40, 30), w.TelAber->mapToGlobal(QPointF(40, 30)), Qt::NoButton,
                   Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(w.TelAber, &move);
  QTest::mouseRelease(w.TelAber, Qt::LeftButton, Qt::ControlModifier, QPoint(40, 30));
  EXPECT_EQ(w.pos() - before, QPoint(30, 20));
  EXPECT_FALSE(p.program->runtime().state.gameLoaded);
}

TEST(StartupProgram, ClosingTheWindowEndsTheProgramAndShutdownSavesOnce) {
  GameFolder f;
  f.writeConfig("g");
  f.writeSavedGame("g");
  f.write("start.scp", {"loadregs extra,3,0,0"});
  f.write("extra.rgs", {"kept"});
  ProgramOnFolder p(f);
  p.clickOpening();
  ASSERT_TRUE(p.program->runtime().state.gameLoaded);
  EXPECT_FALSE(p.host.quitRequested);
  p.program->mainWindow().close();
  EXPECT_TRUE(p.host.quitRequested);
  p.program->shutdown();
  EXPECT_EQ(f.read("g.rgs").at(3), "kept");
  EXPECT_TRUE(f.exists("g.nrg"));
  f.write("g.nrg", {"untouched"});
  p.program->shutdown();  // a second call writes nothing
  EXPECT_EQ(f.read("g.nrg"), std::vector<std::string>{"untouched"});
}
