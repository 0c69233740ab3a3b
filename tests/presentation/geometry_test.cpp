#include <gtest/gtest.h>

#include "presentation/layoutgame.h"
#include "presentation/mainwindow.h"

using namespace corvant;
using corvant::test::LayoutGame;

TEST_F(LayoutGame, DeftelPlacesTheScreenAndItsBufferAndHidesItWithoutAFontSize) {
  TForm1& w = p->window();
  ASSERT_TRUE(run({"deftel= 10,10,300,200"}));
  EXPECT_EQ(w.Tela->geometry(), QRect(10, 10, 300, 200));
  EXPECT_EQ(w.screenBuffer.size(), QSize(300, 200));
  EXPECT_FALSE(w.Tela->isVisibleTo(&w));

  ASSERT_TRUE(run({"deftel= 10,10,300,200,Serif,00FF00,0000FF,B-U,12"}));
  EXPECT_TRUE(w.Tela->isVisibleTo(&w));
  for (const CanvasStyle* c : {&w.screenCanvas, &w.Tela->canvas}) {
    EXPECT_EQ(c->font.pointSize(), 12);
    EXPECT_EQ(c->font.family(), "Serif");
    EXPECT_TRUE(c->font.bold());
    EXPECT_FALSE(c->font.italic());
    EXPECT_TRUE(c->font.underline());
    EXPECT_EQ(c->fontColour, QColor(0, 255, 0));
    EXPECT_EQ(c->brush, QColor(0, 0, 255));
  }
  // Both are filled with the new brush over their whole size.
  EXPECT_EQ(w.screenBuffer.pixel(299, 199), qRgb(0, 0, 255));
  EXPECT_EQ(w.Tela->picture().pixel(0, 0), qRgb(0, 0, 255));

  // A value that does not convert skips only its own step.
  ASSERT_TRUE(run({"deftel= 20,x,y,150,,zz,,,9"}));
  EXPECT_EQ(w.Tela->geometry(), QRect(20, 10, 300, 150));
  EXPECT_EQ(w.screenCanvas.fontColour, QColor(0, 255, 0));

  ASSERT_TRUE(run({"deftel= off"}));
  EXPECT_FALSE(w.Tela->isVisibleTo(&w));
  ASSERT_TRUE(run({"deftela on"}));
  EXPECT_TRUE(w.Tela->isVisibleTo(&w));
  EXPECT_EQ(w.Tela->geometry(), QRect(20, 10, 300, 150));
}

TEST_F(LayoutGame, DefvisDefcmdAndDeffncShapeTheirComponents) {
  TForm1& w = p->window();
  w.Input->setText("typed");
  ASSERT_TRUE(run({"defvis= 5,6,200,100,,FFFFFF,000080,,",  //
                   "defcmd= 1,2,150,20,,FF0000,00FF00,-I,11",  //
                   "deffnc= 0,300,120,40,,,800000,,"}));
  EXPECT_EQ(w.Abok1->geometry(), QRect(5, 6, 200, 100));
  EXPECT_EQ(w.Abok1->palette().color(QPalette::Window), QColor(0, 0, 128));
  EXPECT_EQ(w.Input->geometry(), QRect(1, 2, 150, 20));
  EXPECT_TRUE(w.Input->text().isEmpty());
  EXPECT_TRUE(w.Input->font().italic());
  EXPECT_EQ(w.Input->font().pointSize(), 11);
  EXPECT_EQ(w.Input->palette().color(QPalette::Text), QColor(255, 0, 0));
  EXPECT_EQ(w.Abok2->geometry(), QRect(0, 300, 120, 40));
  EXPECT_EQ(w.panelBuffer.size(), QSize(120, 40));
  EXPECT_EQ(w.TelCmd->picture().size(), QSize(120, 40));
  EXPECT_EQ(w.panelBuffer.pixel(119, 39), qRgb(128, 0, 0));
  ASSERT_TRUE(run({"deffnc= off"}));
  EXPECT_FALSE(w.Abok2->isVisibleTo(&w));
}

TEST_F(LayoutGame, BarratopAccumulatesAndOffGivesTheRoomBack) {
  TForm1& w = p->window();
  ASSERT_TRUE(run({"modo= 0", "autocls off"}));
  const QRect before = w.MsgMd0->geometry();
  ASSERT_TRUE(run({"barratop on", "barratop"}));
  EXPECT_EQ(w.MsgMd0->height(), before.height() - 40);
  EXPECT_EQ(w.MsgMd0->y(), 20);
  EXPECT_EQ(w.BarraTop->width(), w.MsgMd0->width());
  EXPECT_TRUE(traced("barratop on"));
  ASSERT_TRUE(run({"barratop off"}));
  EXPECT_EQ(w.MsgMd0->height(), before.height() - 20);
  EXPECT_EQ(w.MsgMd0->y(), 5);
}

TEST_F(LayoutGame, CanvasPanelAndStripSettings) {
  TForm1& w = p->window();
  ASSERT_TRUE(run({"telacorfnd= 00FF00", "telacortxt= 0000FF", "telafntnome= Mono", "telafntalt= 17",
                   "fncfnd= 112233", "fnctxt= 445566", "msgbar= vrt"}));
  EXPECT_EQ(w.screenCanvas.brush, QColor(0, 255, 0));
  EXPECT_EQ(w.screenCanvas.fontColour, QColor(0, 0, 255));
  EXPECT_EQ(w.screenCanvas.font.family(), "Mono");
  EXPECT_EQ(w.screenCanvas.font.pointSize(), 17);
  EXPECT_EQ(w.Abok2->palette().color(QPalette::Window), QColor(0x11, 0x22, 0x33));
  EXPECT_EQ(w.Abok2->palette().color(QPalette::WindowText), QColor(0x44, 0x55, 0x66));
  EXPECT_EQ(w.Msg->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  EXPECT_EQ(w.Msg->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
  ASSERT_TRUE(run({"msgbar= "}));
  EXPECT_EQ(w.Msg->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);

  // Sizes and colours these commands cannot do without fail the run.
  EXPECT_FALSE(run({"telafntalt= big"}));
  EXPECT_FALSE(run({"telacorfnd= nocolour"}));
  EXPECT_FALSE(run({"fncfnd= zz"}));
}

TEST_F(LayoutGame, AlturaSetsTheModel3PageLength) {
  TForm1& w = p->window();
  ASSERT_TRUE(run({"modo= 3", "autocls off"}));
  ASSERT_TRUE(run({"altura= 900"}));
  EXPECT_EQ(w.TelMod3->height(), 900);
  EXPECT_EQ(w.TelMod3->picture().height(), 900);
  ASSERT_TRUE(run({"altura= tall"}));
  EXPECT_EQ(w.TelMod3->picture().height(), w.Sbox2->height() - 10);
  EXPECT_TRUE(traced("altura= " + std::to_string(w.Sbox2->height() - 10)));
}
