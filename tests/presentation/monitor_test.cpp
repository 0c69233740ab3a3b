#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>

#include "presentation/layout.h"
#include "presentation/layoutgame.h"
#include "presentation/mainwindow.h"
#include "windows/backdrop.h"
#include "windows/monitorwindow.h"

using namespace corvant;
using corvant::test::LayoutGame;

namespace {

struct MonitorGame : LayoutGame {
  TForm10& monitor() { return *p->rt().monitor; }
  QSize screenArea() const { return QGuiApplication::primaryScreen()->availableGeometry().size(); }
};

}  // namespace

TEST_F(MonitorGame, Model4FitsTheLogicalScreenBetweenTwoBars) {
  ASSERT_TRUE(run({"modo= 4,320,240,FF0000"}));
  TForm10& m = monitor();
  const QSize W = screenArea();
  const MonitorFit fit = fitMonitor(320, 240, W.width(), W.height());
  EXPECT_TRUE(m.isVisible());
  EXPECT_FALSE(p->window().isVisible());
  EXPECT_DOUBLE_EQ(p->rt().state.scale, fit.scale);
  EXPECT_EQ(m.PanMon->geometry(), QRect(fit.left, fit.top, fit.width, fit.height));
  EXPECT_EQ(m.monitorBuffer.size(), QSize(fit.width, fit.height));
  // The bars cover exactly what the picture leaves free.
  const QRegion covered = QRegion(m.ShpTop->geometry()) + m.ShpBot->geometry() + m.PanMon->geometry();
  EXPECT_EQ(covered, QRegion(QRect(QPoint(0, 0), W)));
  EXPECT_EQ(m.ShpTop->palette().color(QPalette::Window), QColor(255, 0, 0));
  EXPECT_EQ(m.margins.left, static_cast<int>(5 * fit.scale));
  EXPECT_EQ(m.margins.right, fit.width - static_cast<int>(8 * fit.scale));

  ASSERT_TRUE(run({"borda4= 00FF00"}));
  EXPECT_EQ(m.ShpBot->palette().color(QPalette::Window), QColor(0, 255, 0));

  // Another model brings the game back to the main window.
  ASSERT_TRUE(run({"modo= 1"}));
  EXPECT_FALSE(m.isVisible());
  EXPECT_TRUE(p->window().isVisible());
  EXPECT_DOUBLE_EQ(p->rt().state.scale, 1.0);
}

TEST_F(MonitorGame, DrawingInModel4LandsOnTheMonitor) {
  QImage wide(40, 10, QImage::Format_RGB32);
  wide.fill(Qt::blue);
  wide.save(f.path() + "wide.bmp");
  ASSERT_TRUE(run({"modo= 4", "tela= wide.bmp", "display= red.bmp,tel,0,0"}));
  TForm10& m = monitor();
  const int w = m.monitorBuffer.width(), h = w * 10 / 40;
  // Stretched across the width, text continues under it; display= draws
  // nothing on the monitor, and the end of the run shows the buffer.
  EXPECT_EQ(m.Monitor->picture().pixel(w - 1, h - 1), qRgb(0, 0, 255));
  EXPECT_EQ(m.Monitor->picture().pixel(1, h + 2), 0xFF102030u);
  EXPECT_EQ(m.margins.top, static_cast<int>(8 * p->rt().state.scale) + h);

  ASSERT_TRUE(run({"clearbuf 00FF00,0,0,1,1"}));
  EXPECT_EQ(m.monitorBuffer.pixel(w - 1, h - 1), qRgb(0, 255, 0));  // the whole buffer, not the rectangle
  ASSERT_TRUE(run({"cls FFFFFF"}));
  EXPECT_EQ(m.Monitor->picture().pixel(0, 0), qRgb(255, 255, 255));
}

TEST_F(MonitorGame, AreasAreScaledAndAReleaseReportsLogicalPixels) {
  f.write("hit.scp", {"reg= 1,hit"});
  ASSERT_TRUE(run({"modo= 4", "click red.bmp,hit,100,50,20,10"}));
  GameState& s = p->rt().state;
  const LinkRecord& rec = s.links.records[0];
  const double scale = s.scale;
  EXPECT_EQ(rec.x, static_cast<int>(100 * scale));
  EXPECT_EQ(rec.width, static_cast<int>(20 * scale));
  EXPECT_EQ(monitor().Monitor->picture().pixel(rec.x + 1, rec.y + 1), qRgb(255, 0, 0));

  // Release at (205, 110) on a link at (100, 50) with scale 2.5: (42, 24).
  s.scale = 2.5;
  LinkRecord& area = s.links.records[0];
  area.x = 100;
  area.y = 50;
  area.width = 200;
  area.height = 100;
  PictureWidget* surface = monitor().Monitor;
  surface->resize(400, 300);
  QTest::mouseMove(surface, QPoint(205, 110));
  QTest::mousePress(surface, Qt::LeftButton, {}, QPoint(205, 110));
  QTest::mouseRelease(surface, Qt::LeftButton, {}, QPoint(205, 110));
  EXPECT_EQ(s.links.insideX, 42);
  EXPECT_EQ(s.links.insideY, 24);
  EXPECT_EQ(s.registers[1], "hit");
}

TEST_F(MonitorGame, AClickScriptRunsOnlyBesideTheAreas) {
  f.write("clicked.scp", {"reg+ 2,1"});
  f.write("area.scp", {"reg+ 3,1"});
  // Every fresh run clears the click script and the areas: set them up
  // again before each press.
  const std::vector<std::string> setUp = {"modo= 4", "tela= red.bmp,clicked", "click red.bmp,area,0,0,10,10"};
  GameState& s = p->rt().state;
  PictureWidget* surface = monitor().Monitor;
  ASSERT_TRUE(run(setUp));
  s.registers[2] = s.registers[3] = "0";
  const int inside = 2, beside = static_cast<int>(30 * s.scale);
  QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(beside, beside));
  EXPECT_EQ(s.registers[2], "1");
  EXPECT_EQ(s.registers[3], "0");
  ASSERT_TRUE(run(setUp));
  QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(inside, inside));
  EXPECT_EQ(s.registers[2], "1");
  EXPECT_EQ(s.registers[3], "1");
}

TEST_F(LayoutGame, Model2ShowsPicturesAsPageLines) {
  ASSERT_TRUE(run({"modo= 2", "tela= red.bmp", "display= red.bmp,tel,0,0,,,center", "display= red.bmp,tel,0,0,20,,left"}));
  const auto& page = p->rt().state.pageBuffer;
  const std::string base = p->rt().state.paths.fileBase;
  auto has = [&](const std::string& line) { return std::find(page.begin(), page.end(), line) != page.end(); };
  EXPECT_TRUE(has("<img src=" + base + "red.bmp width=300px border=0>"));
  EXPECT_TRUE(has("<div align=center><img src=" + base + "red.bmp width=8 height=8 border=0 ></div>"));
  EXPECT_TRUE(has("<img src=" + base + "red.bmp width=20 height=8 border=0 align=left>"));
  f.write("go.scp", {"/"});
  ASSERT_TRUE(run({"tela= red.bmp,go"}));
  EXPECT_TRUE(has("<a href=Scp=go><img src=" + base + "red.bmp width=300px border=0></a>"));
}

TEST_F(LayoutGame, FundoShowsAColourOrAPictureBehindTheGameAndHides) {
  TForm1F& backdrop = *p->rt().backdrop;
  ASSERT_TRUE(run({"fundo= 0000FF"}));
  EXPECT_TRUE(backdrop.isVisible());
  EXPECT_FALSE(backdrop.Imag->isVisibleTo(&backdrop));
  EXPECT_EQ(backdrop.palette().color(QPalette::Window), QColor(0, 0, 255));
  ASSERT_TRUE(run({"fundo= off"}));
  EXPECT_FALSE(backdrop.isVisible());
  ASSERT_TRUE(run({"fundo= red.bmp"}));
  EXPECT_TRUE(backdrop.isVisible());
  EXPECT_TRUE(backdrop.Imag->isVisibleTo(&backdrop));
  EXPECT_EQ(backdrop.Imag->picture().pixel(1, 1), qRgb(255, 0, 0));
  ASSERT_TRUE(run({"fundo= "}));
  EXPECT_FALSE(backdrop.isVisible());
  // "on" shows only a backdrop the game configured.
  ASSERT_TRUE(run({"fundo= on"}));
  EXPECT_FALSE(backdrop.isVisible());
}

TEST_F(LayoutGame, TheBackdropToggleMovesTheGameToASecondMonitorAndBack) {
  TForm1F& backdrop = *p->rt().backdrop;
  TForm1& w = p->window();
  const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
  backdrop.move(0, 0);
  backdrop.togglePlacement();
  EXPECT_EQ(backdrop.x(), screen.width());
  EXPECT_EQ(w.pos(), QPoint(screen.width() + (1366 - w.width()) / 2, (768 - w.height()) / 2));
  backdrop.togglePlacement();
  EXPECT_EQ(backdrop.pos(), QPoint(0, 0));
  EXPECT_EQ(w.pos(), QPoint((screen.width() - w.width()) / 2, (screen.height() - w.height()) / 2));
}
