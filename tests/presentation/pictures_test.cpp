#include <gtest/gtest.h>

#include <QImage>

#include "engine/driver.h"
#include "engine/guard.h"
#include "imaging/picture.h"
#include "support/program.h"
#include "text/strings.h"

using namespace corvant;
using corvant::test::GameFolder;
using corvant::test::ProgramOnFolder;

namespace {

constexpr QRgb kBackground = 0xFF102030;

// A game in model 1 whose start script does nothing: tests then run their
// own scripts through the guarded entry, as events would.
struct PictureGame : ::testing::Test {
  PictureGame() {
    f.writeConfig("g", {{18, "102030"}, {22, "10"}, {23, "20"}, {24, "200"}, {25, "100"}, {58, "200"}, {59, "100"},
                        {45, "0"}, {46, "150"}, {47, "100"}, {48, "40"}, {53, "*"}});
    f.writeSavedGame("g");
    f.write("start.scp", {"/ nothing"});
    solid("red.bmp", QSize(20, 10), Qt::red);
    QImage sprite(4, 4, QImage::Format_RGB32);
    sprite.fill(QColor(255, 0, 255));  // magenta: transparent
    sprite.setPixel(1, 1, qRgb(0, 255, 0));
    sprite.save(f.path() + "sprite.bmp");
    QImage alpha(4, 4, QImage::Format_ARGB32);
    alpha.fill(qRgba(0, 0, 255, 255));
    alpha.setPixel(2, 2, qRgba(0, 0, 0, 0));  // fully transparent
    alpha.save(f.path() + "alpha.png");
    p = std::make_unique<ProgramOnFolder>(f);
    p->clickOpening();
  }
  void solid(const std::string& name, QSize size, QColor colour) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    image.save(f.path() + QString::fromStdString(name));
  }
  bool run(const std::vector<std::string>& lines) {
    f.write("t.scp", lines);
    return runGuarded(p->rt(), [&] { freshRun(p->rt(), "t"); });
  }
  QRgb screen(int x, int y) { return p->window().Tela->picture().pixel(x, y); }
  QRgb buffer(int x, int y) { return p->window().screenBuffer.pixel(x, y); }
  GameFolder f;
  std::unique_ptr<ProgramOnFolder> p;
};

}  // namespace

TEST_F(PictureGame, LayoutAtLoadFollowsTheConfiguration) {
  TForm1& w = p->window();
  EXPECT_EQ(w.Abok1->geometry(), QRect(10, 20, 200, 100));
  EXPECT_EQ(w.Tela->size(), QSize(200, 100));
  EXPECT_EQ(w.screenBuffer.size(), QSize(200, 100));
  EXPECT_EQ(w.Abok2->geometry(), QRect(0, 150, 100, 40));
  EXPECT_EQ(w.panelBuffer.size(), QSize(100, 40));
  EXPECT_TRUE(w.Abok2->isVisibleTo(&w));
  EXPECT_FALSE(w.Input->isVisibleTo(&w));  // index 44 is not "*"
  EXPECT_EQ(buffer(5, 5), kBackground);
  EXPECT_EQ(screen(199, 99), kBackground);
  EXPECT_TRUE(p->host.errors.empty());
}

TEST_F(PictureGame, DisplayComposesInTheBufferAndTheScreenChangesAtTheEndOfTheRun) {
  TForm1& w = p->window();
  ASSERT_TRUE(run({"display= red.bmp,tel,10,10", "loadbufesp red.bmp"}));
  EXPECT_EQ(buffer(10, 10), qRgb(255, 0, 0));
  EXPECT_EQ(buffer(29, 19), qRgb(255, 0, 0));
  EXPECT_EQ(buffer(30, 10), kBackground);  // own size: 20 x 10
  EXPECT_EQ(screen(15, 15), qRgb(255, 0, 0));  // presented at the end
  EXPECT_EQ(w.specialBuffer.size(), QSize(20, 10));

  ASSERT_TRUE(run({"display= red.bmp,tel,0,50,40,20"}));  // stretched
  EXPECT_EQ(buffer(39, 69), qRgb(255, 0, 0));
  EXPECT_EQ(buffer(40, 69), kBackground);
}

TEST_F(PictureGame, MagentaAndTransparentPngPixelsKeepWhatLiesBelow) {
  ASSERT_TRUE(run({"display= red.bmp,tel,0,0,50,50", "display= sprite.bmp,tel,0,0", "display= alpha.png,tel,10,0"}));
  EXPECT_EQ(buffer(0, 0), qRgb(255, 0, 0));    // magenta left out
  EXPECT_EQ(buffer(1, 1), qRgb(0, 255, 0));
  EXPECT_EQ(buffer(10, 0), qRgb(0, 0, 255));
  EXPECT_EQ(buffer(12, 2), qRgb(255, 0, 0));   // alpha 0 keeps the red below
}

TEST_F(PictureGame, DisplayTargetsAndNotes) {
  TForm1& w = p->window();
  auto* sink = new test::RecordingTrace;
  p->rt().trace.reset(sink);
  ASSERT_TRUE(run({"display= red.bmp,fnc,0,0", "display= red.bmp,pan,0,0", "display= none.bmp,tel",
                   "display= red.bmp,xyz"}));
  EXPECT_EQ(w.panelBuffer.pixel(5, 5), qRgb(255, 0, 0));
  EXPECT_EQ(w.TelCmd->picture().pixel(5, 5), qRgb(255, 0, 0));  // presented: the panel is visible
  EXPECT_EQ(w.Imp->picture().pixel(5, 5), qRgb(255, 0, 0));
  const auto& lines = sink->lines;
  auto has = [&](const std::string& part) {
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return text::contains(l, part); });
  };
  EXPECT_TRUE(has("display= red.bmp,fnc,0,0,20,10"));
  EXPECT_TRUE(has("none.bmp <--- arquivo inexistente!"));
  EXPECT_TRUE(has("red.bmp,xyz <--- n\xE3o indicou o local tel/fnc/tel!"));
}

TEST_F(PictureGame, TelaStretchesOverTheScreenAtOnceAndSetsTheClickScript) {
  f.write("onclick.scp", {"/"});
  solid("small.bmp", QSize(2, 2), Qt::yellow);
  auto* sink = new test::RecordingTrace;
  p->rt().trace.reset(sink);
  // The screen changes before the run ends: a watcher on every event pass
  // sees it, although the run then clears the buffer that it presents last.
  bool seenDuringRun = false;
  std::function<void()> watch = [&] {
    if (screen(150, 80) == qRgb(255, 255, 0)) seenDuringRun = true;
    p->host.onPump = watch;
  };
  p->host.onPump = watch;
  ASSERT_TRUE(run({"tela= small.bmp,onclick", "clearbuf", "pausa 1"}));
  p->host.onPump = nullptr;
  EXPECT_TRUE(seenDuringRun);
  EXPECT_EQ(p->rt().state.clickScript, "onclick");
  EXPECT_EQ(p->rt().state.screenPicture, "small.bmp");
  ASSERT_TRUE(run({"tela= small.bmp,onclick", "tela= small.bmp,nothere", "tela= missing.bmp"}));
  EXPECT_EQ(p->rt().state.clickScript, "onclick");
  EXPECT_TRUE(std::any_of(sink->lines.begin(), sink->lines.end(),
                          [](const std::string& l) { return text::contains(l, ",nothere <--- script n\xE3o existe"); }));
}

TEST_F(PictureGame, ClearsAndRefresh) {
  TForm1& w = p->window();
  ASSERT_TRUE(run({"display= red.bmp,tel,0,0,200,100"}));
  ASSERT_TRUE(run({"clearbuf 00FF00,0,0,10,10", "pausa 1"}));
  EXPECT_EQ(buffer(5, 5), qRgb(0, 255, 0));
  ASSERT_TRUE(run({"cls 0000FF,20,20,10,10", "clearbuf", "savebuf"}));
  EXPECT_EQ(screen(25, 25), qRgb(0, 0, 255));  // cls reaches the screen at once...
  EXPECT_EQ(buffer(25, 25), qRgb(0, 0, 255));  // ...and savebuf copied it back
  EXPECT_EQ(buffer(5, 5), qRgb(0, 255, 0));    // what the previous run presented
  ASSERT_TRUE(run({"clearpan FFFFFF,0,0,4,4", "clearfnc 00FF00", "cls GG0000"}));
  EXPECT_EQ(w.Imp->picture().pixel(2, 2), qRgb(255, 255, 255));
  EXPECT_EQ(w.panelBuffer.pixel(50, 20), qRgb(0, 255, 0));
  EXPECT_EQ(buffer(100, 50), kBackground);  // a colour that does not convert is the default
}

TEST_F(PictureGame, SpecialBufferCopiesARectangleIntoTheScreenBuffer) {
  ASSERT_TRUE(run({"loadbufesp red.bmp", "getbufesp 100,50,5,5,4,3", "loadbuftela missing.bmp"}));
  EXPECT_EQ(buffer(100, 50), qRgb(255, 0, 0));
  EXPECT_EQ(buffer(103, 52), qRgb(255, 0, 0));
  EXPECT_EQ(buffer(104, 52), kBackground);
  EXPECT_EQ(buffer(103, 53), kBackground);
  ASSERT_TRUE(run({"loadbuftela red.bmp"}));
  EXPECT_EQ(p->window().screenBuffer.size(), QSize(20, 10));
}

TEST_F(PictureGame, GetfotoWritesAJpegOfTheScreenOrTheBuffer) {
  p->rt().state.registers[7] = "snap";
  ASSERT_TRUE(run({"display= red.bmp,tel,0,0,200,100"}));
  ASSERT_TRUE(run({"clearbuf 0000FF", "getfoto", "getfoto 7,buf"}));
  for (auto [file, colour] : {std::pair{"foto.jpg", QColor(255, 0, 0)}, std::pair{"snap.jpg", QColor(0, 0, 255)}}) {
    auto decoded = imaging::decodeJpeg(f.path() + file);
    ASSERT_TRUE(decoded) << file;
    const QImage& saved = *decoded;
    EXPECT_EQ(saved.size(), QSize(200, 100));
    const QColor got = saved.pixelColor(100, 50);
    EXPECT_NEAR(got.red(), colour.red(), 8) << file;
    EXPECT_NEAR(got.blue(), colour.blue(), 8) << file;
  }
}
