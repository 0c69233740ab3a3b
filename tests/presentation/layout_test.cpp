#include <gtest/gtest.h>

#include "engine/driver.h"
#include "engine/guard.h"
#include "media/audio.h"
#include "presentation/layout.h"
#include "presentation/layoutgame.h"
#include "presentation/linkinput.h"
#include "support/wavefile.h"
#include "text/strings.h"
#include "windows/forms.h"

using namespace corvant;
using corvant::test::GameFolder;
using corvant::test::LayoutGame;
using corvant::test::ProgramOnFolder;

TEST(LayoutMonitorFit, SmallerRatioWinsAndThePictureIsCentred) {
  struct Case {
    int mw, mh;
    double scale;
    int width, height, left, top;
  } cases[] = {
      {1280, 1024, 2.0, 1280, 840, 0, 92},
      {1920, 1080, 1080.0 / 420.0, 1645, 1080, 137, 0},
      {640, 420, 1.0, 640, 420, 0, 0},
  };
  for (const auto& c : cases) {
    const MonitorFit f = fitMonitor(640, 420, c.mw, c.mh);
    EXPECT_DOUBLE_EQ(f.scale, c.scale) << c.mw << "x" << c.mh;
    EXPECT_EQ(f.width, c.width);
    EXPECT_EQ(f.height, c.height);
    EXPECT_EQ(f.left, c.left);
    EXPECT_EQ(f.top, c.top);
  }
}


TEST_F(LayoutGame, ModelSwitchShowsThePageAndSizesTheViewport) {
  TForm1& w = p->window();
  struct Case {
    const char* model;
    int page;
    QSize viewport;
    bool strip;
  } cases[] = {{"0", TForm1::Page0, {300, 200}, false},
               {"2", TForm1::Page2, {500, 280}, false},
               {"3", TForm1::Page3, {400, 260}, false},
               {"1", TForm1::Page1, {320, 240}, true}};
  for (const auto& c : cases) {
    ASSERT_TRUE(run({std::string("modo= ") + c.model}));
    EXPECT_EQ(p->rt().state.modelo, c.model);
    EXPECT_EQ(w.Abok1->currentIndex(), c.page) << c.model;
    EXPECT_EQ(w.Abok1->size(), c.viewport) << c.model;
    EXPECT_EQ(w.Msg->isVisibleTo(&w), c.strip) << c.model;
  }
  ASSERT_TRUE(run({"modo= 0"}));
  EXPECT_EQ(p->rt().state.textEffect, "direto");
  ASSERT_TRUE(run({"modo= 3"}));
  EXPECT_EQ(w.TelMod3->picture().size(), QSize(400 - 18, 260 - 10));
}

TEST_F(LayoutGame, ModoKeepsTheCurrentModelButItsSynonymsApplyItAgain) {
  ASSERT_TRUE(run({"display= red.bmp,tel,0,0"}));
  ASSERT_TRUE(run({"modo= 1"}));
  EXPECT_EQ(p->window().screenBuffer.pixel(2, 2), qRgb(255, 0, 0));
  ASSERT_TRUE(run({"setmode= 1"}));
  EXPECT_EQ(p->window().screenBuffer.pixel(2, 2), 0xFF102030u);
}

TEST_F(LayoutGame, SettingsCommands) {
  auto& s = p->rt().state;
  ASSERT_TRUE(run({"defini= 40,a~b^c", "defini= 200,x", "defini= x,y", "efeito= scrollup", "efeito= wobble",
                   "veltec= ", "imgfndtela= back.png", "defcom= nothere", "autocls off"}));
  EXPECT_EQ(s.config.at(40), "a b,c");
  EXPECT_TRUE(traced("defini= 200 <- fora da faixa v\xE1lida"));
  EXPECT_TRUE(traced("defini= -1 <- fora da faixa v\xE1lida"));
  EXPECT_EQ(s.textEffect, "scrollup");
  EXPECT_TRUE(traced("efeito= wobble <- efeito n\xE3o implementado"));
  EXPECT_EQ(s.typingDelay, 0);
  EXPECT_EQ(s.config.at(89), "back.png");
  EXPECT_EQ(s.vocabularyScript, "nothere");
  EXPECT_TRUE(traced("defcom= nothere <- script n\xE3o existe"));
  EXPECT_FALSE(s.autoRelayout);
  ASSERT_TRUE(run({"veltec= x", "autocls maybe"}));
  EXPECT_EQ(s.typingDelay, 7);
  EXPECT_FALSE(s.autoRelayout);
}

TEST_F(LayoutGame, AutomaticRelayoutLoadsTheScreenBackgroundPictureBeforeEachFreshRun) {
  ASSERT_TRUE(run({"imgfndtela= red.bmp", "clearbuf"}));
  ASSERT_TRUE(run({"/"}));  // the re-layout of this run loads the picture
  EXPECT_EQ(p->window().screenBuffer.pixel(2, 2), qRgb(255, 0, 0));
  ASSERT_TRUE(run({"autocls off", "clearbuf"}));
  ASSERT_TRUE(run({"/"}));
  EXPECT_EQ(p->window().screenBuffer.pixel(2, 2), 0xFF102030u);
}

TEST_F(LayoutGame, VisibilityBackgroundAndShape) {
  TForm1& w = p->window();
  ASSERT_TRUE(run({"areas= off,on,,off"}));
  EXPECT_FALSE(w.Abok1->isVisibleTo(&w));
  EXPECT_TRUE(w.Abok2->isVisibleTo(&w));
  ASSERT_TRUE(run({"visible= stop"}));
  EXPECT_FALSE(w.isEnabled());
  ASSERT_TRUE(run({"visible cont", "visible= on"}));
  EXPECT_TRUE(w.isEnabled());
  EXPECT_TRUE(w.Abok1->isVisibleTo(&w));

  // A background whose left half is magenta: the window takes its size and
  // loses that half.
  QImage shaped(60, 40, QImage::Format_RGB32);
  shaped.fill(Qt::blue);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 30; ++x) shaped.setPixel(x, y, qRgb(255, 0, 255));
  shaped.save(f.path() + "shaped.bmp");
  ASSERT_TRUE(run({"loadpainel", "loadpainel none.bmp", "loadpainel shaped.bmp"}));
  EXPECT_TRUE(traced("loadpainel  <--- n\xE3o informou o nome do arquivo"));
  EXPECT_TRUE(traced("loadpainel  <--- arquivo n\xE3o existe"));
  EXPECT_EQ(w.size(), QSize(60, 40));
  EXPECT_FALSE(w.mask().contains(QPoint(10, 10)));
  EXPECT_TRUE(w.mask().contains(QPoint(45, 10)));

  ASSERT_TRUE(run({"borda= 2,FF0000"}));
  EXPECT_EQ(w.Imp->picture().pixel(0, 20), qRgb(255, 0, 0));
  EXPECT_FALSE(run({"borda= 1,nocolour"}));
}

TEST(LayoutEndButton, PressShowsItsDownPictureAndReleaseEndsTheProgram) {
  GameFolder f;
  f.writeConfig("g", {{64, "10"}, {65, "12"}, {66, "fim.bmp"}, {72, "Sair"}});
  f.writeSavedGame("g");
  f.write("start.scp", {"/"});
  for (auto [name, colour] : {std::pair{"U-fim.bmp", Qt::green}, std::pair{"D-fim.bmp", Qt::red}}) {
    QImage image(30, 20, QImage::Format_RGB32);
    image.fill(colour);
    image.save(f.path() + name);
  }
  ProgramOnFolder p(f);
  p.clickOpening();
  TForm1& w = p.window();
  EXPECT_EQ(w.btFim->geometry(), QRect(10, 12, 30, 20));
  EXPECT_EQ(w.lbFim->pos(), QPoint(10 + 30 + 2, 12 + 3));
  EXPECT_EQ(w.lbFim->text(), "Sair");
  QTest::mousePress(w.btFim, Qt::LeftButton, {}, QPoint(3, 3));
  EXPECT_EQ(w.btFim->picture().pixel(3, 3), qRgb(255, 0, 0));
  EXPECT_FALSE(p.host.quitRequested);
  QTest::mouseRelease(w.btFim, Qt::LeftButton, {}, QPoint(3, 3));
  EXPECT_EQ(w.btFim->picture().pixel(3, 3), qRgb(0, 255, 0));
  EXPECT_TRUE(p.host.quitRequested);
}

TEST_F(LayoutGame, DraggingTheBackgroundMovesTheWindowAndTheWindowsThatFollowIt) {
  TForm1& w = p->window();
  AuxiliaryWindow *docked = nullptr, *loose = nullptr, *minigame = nullptr;
  for (AuxiliaryWindow* a : w.followers) {
    if (a->objectName() == "TForm15") docked = a;
    if (a->objectName() == "TForm16") loose = a;
    if (a->objectName() == "TForm17") minigame = a;
  }
  ASSERT_TRUE(docked && loose && minigame);
  docked->docked = true;
  for (AuxiliaryWindow* a : {docked, loose, minigame}) {
    a->move(100, 100);
    a->show();
  }
  w.move(50, 60);
  auto send = [&](QEvent::Type type, QPoint global, Qt::MouseButtons held) {
    const QPoint local = w.Imp->mapFromGlobal(global);
    QMouseEvent e(type, local, global, Qt::LeftButton, held, {});
    QCoreApplication::sendEvent(w.Imp, &e);
  };
  const QPoint start = w.Imp->mapToGlobal(QPoint(5, 5));
  send(QEvent::MouseButtonPress, start, Qt::LeftButton);
  send(QEvent::MouseMove, start + QPoint(30, 20), Qt::LeftButton);
  send(QEvent::MouseButtonRelease, start + QPoint(30, 20), Qt::NoButton);
  EXPECT_EQ(w.pos(), QPoint(80, 80));
  EXPECT_EQ(docked->pos(), QPoint(130, 120));
  EXPECT_EQ(minigame->pos(), QPoint(130, 120));
  EXPECT_EQ(loose->pos(), QPoint(100, 100));
}

TEST_F(LayoutGame, ALinkPressPlaysItsSoundUnlessTheGameTurnedClicksOff) {
  // The device opens at the first sound; the silent driver stands in for a
  // sound card on machines without one.
  qputenv("SDL_AUDIODRIVER", "dummy");
  QFile wave(f.path() + "beep.wav");
  ASSERT_TRUE(wave.open(QIODevice::WriteOnly));
  wave.write(test::waveFile({}, 2.0));
  wave.close();
  media::AudioDevice& audio = *p->rt().audio;
  TForm1& w = p->window();
  auto pressAndRelease = [&] {
    QTest::mousePress(w.Imp, Qt::LeftButton, {}, QPoint(2, 2));
    QTest::mouseRelease(w.Imp, Qt::LeftButton, {}, QPoint(2, 2));
  };
  ASSERT_TRUE(run({"linkpainel= red.bmp,,0,0,8,8,0,,beep.wav"}));
  pressAndRelease();
  EXPECT_TRUE(audio.isPlaying());
  audio.stopWave();
  ASSERT_TRUE(run({"defini= 82,*", "linkpainel= red.bmp,,0,0,8,8,0,,beep.wav"}));
  pressAndRelease();
  EXPECT_FALSE(audio.isPlaying());
}

TEST_F(LayoutGame, TheMapLinkShowsTheMapPageAndReturnsToTheModelsPage) {
  TForm1& w = p->window();
  ASSERT_TRUE(run({"defini= 44,*", "setmode= 1"}));
  const int height = w.Abok1->height();
  ASSERT_TRUE(w.Input->isVisibleTo(&w));
  ASSERT_TRUE(runGuarded(p->rt(), [&] { activateLinkTarget(p->rt(), "picFmap"); }));
  EXPECT_EQ(w.Abok1->currentIndex(), TForm1::PageMapa);
  EXPECT_FALSE(w.Input->isVisibleTo(&w));
  w.Abok1->resize(w.Abok1->width(), height + 50);
  ASSERT_TRUE(runGuarded(p->rt(), [&] { activateLinkTarget(p->rt(), "picFmap"); }));
  EXPECT_EQ(w.Abok1->currentIndex(), TForm1::Page1);
  EXPECT_EQ(w.Abok1->height(), height);
  EXPECT_TRUE(w.Input->isVisibleTo(&w));
}

TEST_F(LayoutGame, APressOnTheSubtitleRunsTheClickScriptAndRecordsTheButtons) {
  f.write("clicked.scp", {"reg= 7,yes"});
  ASSERT_TRUE(run({"tela= red.bmp,clicked"}));
  TForm1& w = p->window();
  w.Legda->show();
  QTest::mousePress(w.Legda, Qt::RightButton, Qt::ShiftModifier, QPoint(1, 1));
  EXPECT_EQ(p->rt().state.registers[7], "yes");
  EXPECT_EQ(p->rt().state.links.mouseState, 10);
  QTest::mouseRelease(w.Legda, Qt::RightButton, Qt::ShiftModifier, QPoint(1, 1));
  EXPECT_EQ(p->rt().state.links.mouseState, 0);
  // The command line only records the buttons.
  p->rt().state.registers[7].clear();
  QTest::mousePress(w.Input, Qt::LeftButton, Qt::ControlModifier, QPoint(1, 1));
  EXPECT_EQ(p->rt().state.links.mouseState, 5);
  EXPECT_EQ(p->rt().state.registers[7], "");
}
