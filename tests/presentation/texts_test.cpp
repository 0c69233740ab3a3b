#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QScrollBar>
#include <QWheelEvent>

#include "presentation/layoutgame.h"
#include "presentation/mainwindow.h"
#include "presentation/textmode.h"

using namespace corvant;
using corvant::test::LayoutGame;

namespace {

QStringList pageLines(const QPlainTextEdit* page) { return page->toPlainText().split('\n'); }

}  // namespace

TEST_F(LayoutGame, TextModeEffectsPlaceTheText) {
  TForm1& w = p->window();
  ASSERT_TRUE(run({"modo= 0", "autocls off", "veltec= 0"}));
  const int lines = pageLineCount(*w.MsgMd0);
  ASSERT_GT(lines, 4);

  ASSERT_TRUE(run({"msg= one", "efeito= direto", "msg= two"}));
  EXPECT_EQ(pageLines(w.MsgMd0), (QStringList{"one", "two"}));

  // "down": the text stays at the bottom of a page of `lines` lines.
  ASSERT_TRUE(run({"clearmsg", "efeito= direto", "msg= a", "msg= b", "msg= c", "efeito= down", "msg= new"}));
  QStringList shown = pageLines(w.MsgMd0);
  ASSERT_EQ(shown.size(), lines);
  EXPECT_EQ(shown.last(), "new");
  EXPECT_EQ(shown[lines - 4], "a");
  for (int i = 0; i < lines - 4; ++i) EXPECT_TRUE(shown[i].isEmpty()) << i;

  // "scrollup": the page fills from the bottom, older lines leaving at the top.
  ASSERT_TRUE(run({"clearmsg", "efeito= scrollup", "msg= first", "msg= second"}));
  shown = pageLines(w.MsgMd0);
  ASSERT_EQ(shown.size(), lines);
  EXPECT_EQ(shown[lines - 2], "first");
  EXPECT_EQ(shown[lines - 1], "second");
}

TEST_F(LayoutGame, MessageCommandsByModel) {
  TForm1& w = p->window();
  auto& s = p->rt().state;
  ASSERT_TRUE(run({"'kept in the buffer'", "msg= $", "msg+  and more"}));
  EXPECT_EQ(w.Msg->toPlainText(), "kept in the buffer and more");
  EXPECT_TRUE(traced("msg= kept ..."));
  ASSERT_TRUE(run({"msg="}));
  EXPECT_TRUE(traced("<-Falta texto!!!"));
  ASSERT_TRUE(run({"autocls off", "msg= strip", "texto= memo", "texto+ !", "cleartxt"}));
  EXPECT_TRUE(w.Msg->toPlainText().isEmpty());
  EXPECT_TRUE(s.memoText.empty());
  ASSERT_TRUE(run({"msg= strip", "texto memo", "clear$"}));
  EXPECT_EQ(w.Msg->toPlainText(), "strip");
  EXPECT_TRUE(s.memoText.empty());

  // Model 3: a line feed moves the page's text cursor by 12 + 6 pixels.
  ASSERT_TRUE(run({"modo= 3", "fntsize= 12"}));
  ASSERT_TRUE(run({"autocls off", "fntsize= 12", "modo= 3", "linefeed"}));
  EXPECT_EQ(s.pageWriteY, 18);
}

TEST_F(LayoutGame, FontAndColourSettings) {
  auto& t = p->rt().state.text;
  TForm1& w = p->window();
  ASSERT_TRUE(run({"fonte= Serif,14,00FF00,x,,y"}));
  EXPECT_TRUE(traced("Serif,14,00FF00,bold,normal,undelined,"));
  EXPECT_EQ(t.fontFace, "Serif");
  EXPECT_TRUE(t.bold && !t.italic && t.underline);
  // A face alone switches the styles off and keeps size and colour.
  ASSERT_TRUE(run({"fonte= Mono", "fntsty= Biu", "fntsize= 20"}));
  EXPECT_EQ(t.fontSize, 20);
  EXPECT_TRUE(t.bold && !t.italic && !t.underline);
  EXPECT_EQ(w.Msg->font().pointSize(), 20);
  ASSERT_TRUE(run({"fntsty= b", "fntface= ", "fntsize= big"}));
  EXPECT_FALSE(t.bold);
  EXPECT_EQ(t.fontFace, "Arial");  // configuration line 15
  EXPECT_EQ(t.fontSize, 12);       // configuration line 16
  EXPECT_FALSE(run({"fonte= ,huge"}));

  ASSERT_TRUE(run({"corfnd= 00FF00", "corlnk= 123456"}));
  EXPECT_EQ(w.screenCanvas.brush, QColor(0, 255, 0));
  EXPECT_EQ(t.linkColour, "123456");
  EXPECT_FALSE(run({"cortxt= nope"}));
  // Each fresh run starts from the configured face, size and colours; the
  // link colours stay.
  ASSERT_TRUE(run({"/"}));
  EXPECT_EQ(t.backgroundColour, "102030");
  EXPECT_EQ(t.linkColour, "123456");

  ASSERT_TRUE(run({"align= center", "align= middle"}));
  EXPECT_EQ(t.alignment, "center");
  EXPECT_TRUE(traced("middle <--- alinhamento incorreto"));
  EXPECT_EQ(w.Msg->document()->defaultTextOption().alignment(), Qt::AlignHCenter);
}

TEST_F(LayoutGame, MessageStripGeometry) {
  TForm1& w = p->window();
  ASSERT_TRUE(run({"autocls off", "defmsg= 10,20,200,40,Serif,FF0000,x,-I-,15"}));
  EXPECT_EQ(w.Msg->geometry(), QRect(10, 20, 200, 40));
  EXPECT_EQ(w.Msg->font().pointSize(), 15);
  EXPECT_TRUE(w.Msg->font().italic());
  EXPECT_EQ(w.Msg->palette().color(QPalette::Text), QColor(255, 0, 0));
  ASSERT_TRUE(run({"defini= 27,7", "defini= 28,8", "defini= 22,100", "defini= 23,200", "setmsgout"}));
  EXPECT_EQ(w.Msg->pos(), QPoint(7, 8));
  EXPECT_EQ(p->rt().state.config.at(88), "*");
  ASSERT_TRUE(run({"setmsgin", "defmsg= off"}));
  EXPECT_EQ(w.Msg->pos(), QPoint(107, 208));
  EXPECT_FALSE(w.Msg->isVisibleTo(&w));
}

TEST_F(LayoutGame, Model2WritesThePageFileAtTheEndOfEachRun) {
  ASSERT_TRUE(run({"modo= 2"}));
  ASSERT_TRUE(run({"'Hello @there|t| you'", "msg+ <hr>", "linefeed"}));
  QFile file(f.path() + "tmp.htm");
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray page = file.readAll();
  EXPECT_TRUE(page.startsWith("<!DOCTYPE html>\r\n<head>\r\n"));
  EXPECT_TRUE(page.contains("\r\nHello <a href=Scp=t>there</a> you\r\n<hr>\r\n<br>\r\n</font></div>\r\n</html>\r\n</body>\r\n"))
      << page.constData();
  // The next run starts a new page.
  ASSERT_TRUE(run({"msg= again"}));
  file.close();
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_FALSE(file.readAll().contains("there"));
}

TEST_F(LayoutGame, WithoutTheBrowserThePageAreaSaysWhyAndTheGameGoesOn) {
  qputenv("CORVANT_NO_BROWSER", "1");
  const bool ok = run({"modo= 2", "msg= still written"});
  qunsetenv("CORVANT_NO_BROWSER");
  ASSERT_TRUE(ok);
  auto* note = p->window().WebB->findChild<QLabel*>("WebBMissing");
  ASSERT_NE(note, nullptr);
  EXPECT_TRUE(note->text().contains("not installed"));
  EXPECT_TRUE(QFile::exists(f.path() + "tmp.htm"));
}

TEST_F(LayoutGame, TheWheelMovesTheScrollingScreenByItsOwnDistance) {
  TForm1& w = p->window();
  ASSERT_TRUE(run({"modo= 3", "altura= 2000"}));
  ASSERT_TRUE(run({"autocls off", "refresh"}));
  w.Tela3->resize(w.Tela3->width(), 2000);
  QCoreApplication::processEvents();
  QScrollBar* bar = w.Sbox2->verticalScrollBar();
  ASSERT_GT(bar->maximum(), 400);
  bar->setValue(300);
  const QPointF at(5, 5);
  QWheelEvent down(at, w.Tela3->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton, {}, Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(w.Tela3, &down);
  EXPECT_EQ(bar->value(), 180);
}

TEST_F(LayoutGame, APageFileThatCannotBeWrittenFailsTheRunWithItsName) {
  ASSERT_TRUE(run({"modo= 2"}));
  QFile::remove(f.path() + "tmp.htm");
  ASSERT_TRUE(QDir(f.path()).mkpath("tmp.htm/blocked"));  // a folder where the file should go
  EXPECT_FALSE(run({"msg= text"}));
  const std::vector<std::string>& errors = p->host.errors;
  ASSERT_FALSE(errors.empty());
  EXPECT_NE(errors.back().find("tmp.htm"), std::string::npos) << errors.back();
}
