#include <gtest/gtest.h>

#include <QDir>
#include <QTest>

#include "app/program.h"
#include "engine/commandtable.h"
#include "engine/guard.h"
#include "presentation/linkinput.h"
#include "presentation/mainwindow.h"
#include "runtime/startup.h"
#include "support/gamefolder.h"
#include "support/program.h"

namespace corvant {
}

using namespace corvant;
using corvant::test::GameFolder;
using corvant::test::LoadedGame;
using corvant::test::TestHost;

TEST(LinkMouseState, LaterCombinationsReplaceEarlierOnes) {
  const auto L = Qt::LeftButton, R = Qt::RightButton, M = Qt::MiddleButton;
  const auto C = Qt::ControlModifier, A = Qt::AltModifier, S = Qt::ShiftModifier;
  struct {
    Qt::MouseButtons held;
    Qt::KeyboardModifiers mods;
    bool dbl;
    int code;
  } cases[] = {
      {{}, {}, false, 0},      {L, {}, false, 1},     {R, {}, false, 2},      {M, {}, false, 3},
      {L, {}, true, 4},        {L, C, false, 5},      {L, A, false, 6},       {L, S, false, 7},
      {L, C | S, false, 7},    {R, C, false, 8},      {R, A, false, 9},       {R, S | C, false, 10},
      {M, C, false, 11},       {M, A, false, 12},     {M, S, false, 13},      {L, C, true, 14},
      {R, A, true, 15},        {L, S | A, true, 16},  {L | R, {}, false, 2},  {L | M, C, false, 11},
      {{}, S, false, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(mouseStateCode(c.held, c.mods, c.dbl), c.code)
        << int(c.held) << " " << int(c.mods) << " " << c.dbl;
  }
}

namespace {

// A script with a label half-way; "fim" keeps a run from reaching it.
struct LinkTargetTest : ::testing::Test {
  LinkTargetTest() {
    g.script("sala", {"reg= 1,antes", "fim", ":marca", "reg= 2,depois"});
    g.script("porta", {"reg= 3,aberta"});
    g.script(":marca", {"reg= 4,script"});
    EXPECT_TRUE(g.freshRun("sala"));
    g.rt.state.registers.at(1).clear();
  }
  bool activate(const std::string& target, TargetRules rules = TargetRules::Full) {
    return runGuarded(g.rt, [&] { activateLinkTarget(g.rt, target, rules); });
  }
  LoadedGame g;
};

}  // namespace

TEST_F(LinkTargetTest, LabelsJumpInsideTheRunningScriptWithTheirParameters) {
  g.rt.state.link.prx = "stale";
  ASSERT_TRUE(activate(":marca&Prm=9"));
  EXPECT_EQ(g.reg(2), "depois");
  EXPECT_EQ(g.reg(1), "");
  EXPECT_EQ(g.rt.state.link.prm, "9");
  EXPECT_EQ(g.rt.state.link.prx, "");
  // A label the script lacks does nothing.
  g.rt.state.registers.at(2).clear();
  ASSERT_TRUE(activate(":nenhum"));
  EXPECT_EQ(g.reg(2), "");
  EXPECT_EQ(g.rt.state.script, "sala");
}

TEST_F(LinkTargetTest, AddressesOpenOutsideAndOtherTargetsRunAsScripts) {
  ASSERT_TRUE(activate("http://example.org/a?b=1"));
  ASSERT_TRUE(activate("porta&Prm=x"));
  EXPECT_EQ(g.host.opened, std::vector<std::string>{"http://example.org/a?b=1"});
  EXPECT_EQ(g.reg(3), "aberta");
  EXPECT_EQ(g.rt.state.script, "porta");
  EXPECT_EQ(g.rt.state.link.prm, "x");

  // The marker can change; the address then is any text that contains it.
  g.rt.state.links.externalMarker = "www.";
  ASSERT_TRUE(activate("veja www.site"));
  ASSERT_TRUE(activate("http://x"));  // no longer an address: a script that does not exist
  EXPECT_EQ(g.host.opened.back(), "veja www.site");
  EXPECT_EQ(g.host.opened.size(), 2u);
  EXPECT_EQ(g.rt.state.script, "http://x");
}

TEST_F(LinkTargetTest, TheScrollingScreenTreatsLabelsAsScriptNames) {
  ASSERT_TRUE(activate(":marca", TargetRules::ScriptsAndAddresses));
  EXPECT_EQ(g.reg(2), "");
  EXPECT_EQ(g.reg(4), "script");
  ASSERT_TRUE(activate("http://a", TargetRules::ScriptsAndAddresses));
  EXPECT_EQ(g.host.opened, std::vector<std::string>{"http://a"});
  // An empty target there starts nothing.
  g.rt.state.registers.at(4).clear();
  ASSERT_TRUE(activate("", TargetRules::ScriptsAndAddresses));
  EXPECT_EQ(g.rt.state.script, ":marca");
  // The map page toggle is not a script either.
  ASSERT_TRUE(activate("picFmap"));
  EXPECT_EQ(g.rt.state.script, ":marca");
}

using corvant::test::ProgramOnFolder;

namespace {

// The whole program on a game folder, started; the surfaces get pictures so
// that presses can draw on them.
struct LinkInputTest : ::testing::Test {
  LinkInputTest() {
    f.writeConfig("g", {{6, "sala"}});
    f.writeSavedGame("g");
    f.write("start.scp", {"/ only has to exist"});
    f.write("sala.scp", {"reg= 1,antes", "fim", ":marca", "reg= 2,depois"});
    f.write("porta.scp", {"reg= 3,aberta"});
    f.write("clique.scp", {"reg= 5,clicou"});
    saveImage("normal.png", Qt::blue);
    saveImage("apertado.png", Qt::green);
    p = std::make_unique<ProgramOnFolder>(f);
    p->clickOpening();
    TForm1& w = p->window();
    for (PictureWidget* s : {w.Tela, w.TelCmd, w.Imp}) {
      s->resize(200, 100);
      QImage blank(200, 100, QImage::Format_RGB32);
      blank.fill(Qt::black);
      s->setPicture(blank);
    }
  }
  void saveImage(const char* name, Qt::GlobalColor colour) {
    QImage i(10, 10, QImage::Format_RGB32);
    i.fill(colour);
    ASSERT_TRUE(i.save(f.path() + name));
  }
  Runtime& rt() { return p->rt(); }
  TForm1& w() { return p->window(); }
  TestHost& host() { return p->host; }
  LinkTable& links() { return rt().state.links; }
  const std::string& reg(int n) { return rt().state.registers.at(static_cast<size_t>(n)); }
  LinkRecord link(const std::string& target) {
    LinkRecord r;
    r.x = 20;
    r.y = 30;
    r.width = 40;
    r.height = 20;
    r.cursor = 2;
    r.target = target;
    r.picture = "normal.png";
    r.pressedPicture = "apertado.png";
    return r;
  }

  GameFolder f;
  std::unique_ptr<ProgramOnFolder> p;
};

}  // namespace

TEST_F(LinkInputTest, ReleasingALinkOnEachSurfaceReachesItsTarget) {
  ASSERT_TRUE(rt().state.gameLoaded);
  ASSERT_EQ(rt().state.script, "sala");
  struct {
    PictureWidget* TForm1::*surface;
    LinkGroup group;
    std::string target;
  } cases[] = {
      {&TForm1::Imp, LinkGroup::Background, "http://example.org"},
      {&TForm1::TelCmd, LinkGroup::Panel, ":marca"},
      {&TForm1::Tela, LinkGroup::Screen, "porta"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.target);
    links().add(c.group, link(c.target));
    // A second link outside the press point must not interfere.
    LinkRecord far = link("longe");
    far.x = 150;
    links().add(c.group, far);
    QTest::mouseClick(w().*c.surface, Qt::LeftButton, {}, QPoint(25, 48));
    EXPECT_EQ(rt().state.lastPressX, 25);
    EXPECT_EQ(rt().state.lastPressY, 48);
    EXPECT_EQ(links().insideX, 5);
    EXPECT_EQ(links().insideY, 18);
    EXPECT_EQ(links().mouseState, 0);
  }
  EXPECT_EQ(host().opened, std::vector<std::string>{"http://example.org"});
  EXPECT_EQ(reg(2), "depois");
  EXPECT_EQ(reg(3), "aberta");
  EXPECT_EQ(rt().state.script, "porta");
  EXPECT_TRUE(host().errors.empty());
}

TEST_F(LinkInputTest, PressShowsThePressedPictureAndReleaseTheNormalOne) {
  links().add(LinkGroup::Panel, link(":nenhum"));
  const QImage& shown = w().TelCmd->picture();
  QTest::mousePress(w().TelCmd, Qt::RightButton, Qt::ControlModifier, QPoint(20, 30));
  EXPECT_EQ(links().hovered, 20);
  EXPECT_EQ(links().mouseState, 8);
  EXPECT_EQ(shown.pixel(20, 30), qRgb(0, 255, 0));
  // Stretched over width x height pixels; the hit test's far edge is not painted.
  EXPECT_EQ(shown.pixel(59, 49), qRgb(0, 255, 0));
  EXPECT_EQ(shown.pixel(60, 49), qRgb(0, 0, 0));
  EXPECT_EQ(rt().state.pressButton, "");  // only the game screen names buttons
  QTest::mouseRelease(w().TelCmd, Qt::RightButton, Qt::ControlModifier, QPoint(60, 50));
  EXPECT_EQ(shown.pixel(40, 40), qRgb(0, 0, 255));
  EXPECT_EQ(links().insideX, 40);
  EXPECT_EQ(links().insideY, 20);
  EXPECT_EQ(links().mouseState, 0);
}

TEST_F(LinkInputTest, GameScreenPressRunsTheClickScriptAndNamesTheButton) {
  rt().state.clickScript = "clique";
  QTest::mousePress(w().Tela, Qt::MiddleButton, {}, QPoint(5, 6));
  EXPECT_EQ(reg(5), "clicou");
  EXPECT_EQ(rt().state.pressButton, "btmd");
  EXPECT_EQ(links().hovered, -1);
  // The click script runs as a fresh run, which clears it until a script
  // sets it again.
  EXPECT_EQ(rt().state.script, "clique");
  EXPECT_EQ(rt().state.clickScript, "");
  QTest::mouseRelease(w().Tela, Qt::MiddleButton, {}, QPoint(5, 6));
  EXPECT_EQ(rt().state.pressButton, "");
  // Presses elsewhere do not run it.
  rt().state.registers.at(5).clear();
  QTest::mouseClick(w().TelCmd, Qt::LeftButton, {}, QPoint(5, 6));
  EXPECT_EQ(reg(5), "");
}

TEST_F(LinkInputTest, MovesSetTheHoveredLinkAndItsCursor) {
  LinkRecord r = link("porta");
  r.cursor = 11;
  links().add(LinkGroup::Background, r);
  QMouseEvent over(QEvent::MouseMove, QPointF(60, 50), QPointF(60, 50), Qt::NoButton, Qt::NoButton, {});
  QCoreApplication::sendEvent(w().Imp, &over);
  EXPECT_EQ(links().hovered, 40);
  EXPECT_EQ(w().Imp->cursor().shape(), Qt::CrossCursor);
  QMouseEvent away(QEvent::MouseMove, QPointF(61, 50), QPointF(61, 50), Qt::NoButton, Qt::NoButton, {});
  QCoreApplication::sendEvent(w().Imp, &away);
  EXPECT_EQ(links().hovered, -1);
  EXPECT_EQ(w().Imp->cursor().shape(), Qt::DragCopyCursor);
}
