#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>

#include <algorithm>
#include <functional>

#include "engine/driver.h"
#include "engine/guard.h"
#include "presentation/mainwindow.h"
#include "presentation/textbox.h"
#include "presentation/layoutgame.h"
#include "support/program.h"
#include "text/strings.h"
#include "windows/monitorwindow.h"

using namespace corvant;
using corvant::test::GameFolder;
using corvant::test::ProgramOnFolder;
using corvant::test::RecordingTrace;

namespace {

constexpr QRgb kBackground = 0xFF102030;
constexpr QRgb kVisited = 0xFFFF0000;  // the visited-link colour of the configuration

// Model 1 with a 320 x 240 screen, a 300 x 60 command panel and a 400 x 260
// scrolling screen; white 12-point text, links green, visited links red.
struct TextBoxGame : corvant::test::ScriptedGame {
  TextBoxGame()
      : ScriptedGame({{18, "102030"}, {19, "FFFFFF"}, {20, "00FF00"}, {21, "FF0000"}, {58, "320"}, {59, "240"},
                      {49, "400"}, {50, "260"}, {45, "0"}, {46, "250"}, {47, "300"}, {48, "60"}, {53, "*"}}) {}
  TForm1& w() { return p->window(); }
  GameState& s() { return p->rt().state; }
  const LinkRecord& record(int n) { return s().links.records.at(static_cast<size_t>(n)); }
  // The font text boxes draw in, measured on the surface they draw on.
  static QFontMetrics metrics(const QImage& surface, int size = 12) {
    QFont font("Arial");
    font.setPointSize(size);
    return QFontMetrics(font, &surface);
  }
  static int advance(const QImage& surface, const char* word) { return metrics(surface).horizontalAdvance(word); }

};

bool anyPixel(const QImage& image, const QRect& area, const std::function<bool(QColor)>& wanted) {
  const QRect r = area.intersected(image.rect());
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x)
      if (wanted(image.pixelColor(x, y))) return true;
  return false;
}
// Glyph edges blend into the background, so a colour is recognised by its
// dominant channels rather than its exact value.
bool greenish(QColor c) { return c.green() > 128 && c.red() < 96 && c.blue() < 96; }
bool whitish(QColor c) { return c.red() > 128 && c.green() > 128 && c.blue() > 128; }

// Whether row y holds `colour` at every pixel from x to x + width - 1.
bool rowIs(const QImage& image, int x, int y, int width, QRgb colour) {
  for (int i = x; i < x + width; ++i)
    if (image.pixel(i, y) != colour) return false;
  return true;
}

// "@L0|s0| @L1|s1| ..." with `count` links, each followed by a blank so that
// every target loses its closing bar; a parameter must follow it, or the
// line's trim takes the last blank away.
std::string links(int count) {
  std::string t;
  for (int i = 0; i < count; ++i) t += "@L" + std::to_string(i) + "|s" + std::to_string(i) + "| ";
  return t;
}

}  // namespace

TEST(TextBoxTokens, WordsKeepTheirBlankAndLinksAndBreaksStandAlone) {
  const std::string mark(1, '\xA7');
  const struct {
    std::string text;
    std::vector<std::string> tokens;
  } cases[] = {
      {"Open the @door|porta| now", {"Open ", "the ", "@door|porta", " ", "now"}},
      {"go @the red door|sala| x", {"go ", "@the red door|sala", " ", "x"}},
      // Without a blank after it the last link keeps its closing bar.
      {"see @door|porta|", {"see ", "@door|porta|"}},
      {"a " + mark + "b c" + mark + "d", {"a ", mark, "b ", "c" + mark + "d"}},
      {"a " + mark + "b", {"a ", mark, "b"}},
      {mark + mark + "x y", {mark, mark, "x ", "y"}},
      {"end ", {"end "}},
      {"@door|porta&Prm=1| ok", {"@door|porta&Prm=1", " ", "ok"}},
  };
  for (const auto& c : cases) EXPECT_EQ(textBoxTokens(c.text), c.tokens) << c.text;
}

TEST_F(TextBoxGame, ALinkIsDrawnUnderlinedAndBecomesALinkRecord) {
  s().links.records[0].kind = "area";
  ASSERT_TRUE(run({"print= Open the @door|porta| now,10,20"}));
  const QImage& buffer = w().screenBuffer;
  const LinkRecord& rec = record(0);
  EXPECT_TRUE(rec.active);
  EXPECT_EQ(rec.kind, "area");  // what a click does is left as it was
  EXPECT_EQ(rec.picture, "door");
  EXPECT_EQ(rec.target, "porta");
  EXPECT_EQ(rec.cursor, 1);
  EXPECT_EQ(rec.x, 10 + advance(buffer, "Open ") + advance(buffer, "the "));
  EXPECT_EQ(rec.y, 20);
  EXPECT_EQ(rec.width, advance(buffer, "door"));
  EXPECT_EQ(rec.height, metrics(buffer).height());
  EXPECT_EQ(s().links.nextSlot(LinkGroup::Screen), 1);
  EXPECT_TRUE(traced("print= Open ,10,20,310,220,FFFFFF,biu,102030,12"));

  // Label in the link colour, the words beside it in the text colour; the
  // underline 12 + 6 - 1 rows below the top, in the visited colour, exactly
  // as wide as the label.
  const QRect label(rec.x, rec.y, rec.width, rec.height);
  EXPECT_TRUE(anyPixel(buffer, label, greenish));
  EXPECT_FALSE(anyPixel(buffer, label, whitish));
  EXPECT_TRUE(anyPixel(buffer, QRect(10, 20, rec.x - 10, 17), whitish));
  EXPECT_FALSE(anyPixel(buffer, QRect(10, 20, rec.x - 10, 17), greenish));
  EXPECT_TRUE(rowIs(buffer, rec.x, 20 + 17, rec.width, kVisited));
  EXPECT_NE(buffer.pixel(rec.x - 1, 20 + 17), kVisited);
  EXPECT_NE(buffer.pixel(rec.x + rec.width, 20 + 17), kVisited);
  // Presented at the end of the run.
  EXPECT_EQ(w().Tela->picture().pixel(rec.x, 20 + 17), kVisited);

  // The underline offset moves the line; the label has no descenders, so
  // the row it left is free.
  ASSERT_TRUE(run({"clearbuf", "poslink= 3", "print= @door|porta|,10,20"}));
  EXPECT_TRUE(rowIs(buffer, 10, 20 + 20, record(0).width, kVisited));
  EXPECT_FALSE(anyPixel(buffer, QRect(10, 20 + 17, record(0).width, 1), [](QColor c) { return c.rgb() == kVisited; }));
}

TEST_F(TextBoxGame, LinkTargetsAreTranslatedAndTheirParametersTakenUp) {
  s().exits[static_cast<size_t>(Direction::North)] = "hall";
  ASSERT_TRUE(run({"print= @up|@norte| @in|@pos&Prm=key&Prx=7| x,0,0"}));
  EXPECT_EQ(record(0).target, "hall");
  EXPECT_EQ(record(1).target, "@pos");  // no place set: the name stays
  EXPECT_EQ(s().link.prm, "key");
  EXPECT_EQ(s().link.prx, "7");
}

TEST_F(TextBoxGame, LinksFillTheirTargetsGroupAndWrapAround) {
  const struct {
    std::vector<std::string> before;
    std::string command;
    LinkGroup group;
    int first, size;
  } cases[] = {
      {{}, "print= " + links(21) + ",0,0", LinkGroup::Screen, 0, 20},
      {{"modo= 3"}, "print= " + links(41) + ",,", LinkGroup::Scrolling, 60, 40},
      {{}, "display= " + links(21) + ",fnc,0,0", LinkGroup::Panel, 20, 20},
      {{}, "display= " + links(21) + ",pan,0,0", LinkGroup::Background, 40, 20},
  };
  for (const auto& c : cases) {
    if (!c.before.empty()) {
      ASSERT_TRUE(run(c.before));
    }
    ASSERT_TRUE(run({c.command})) << c.command;
    EXPECT_EQ(record(c.first).picture, "L" + std::to_string(c.size)) << c.command;
    EXPECT_EQ(record(c.first).target, "s" + std::to_string(c.size)) << c.command;
    EXPECT_EQ(record(c.first + 1).picture, "L1") << c.command;
    EXPECT_EQ(record(c.first + c.size - 1).picture, "L" + std::to_string(c.size - 1)) << c.command;
    EXPECT_EQ(s().links.nextSlot(c.group), c.first + 1) << c.command;
  }

  // The map takes no link records.
  ASSERT_TRUE(run({"modo= 1"}));
  ASSERT_TRUE(run({"display= @m|x| y,map,0,0"}));
  for (const char* group : {"tel", "fnc", "pan", "md3"}) {
    const LinkGroup g = *linkGroupByWord(group);
    EXPECT_EQ(s().links.nextSlot(g), linkRange(g).first) << group;
  }
}

TEST_F(TextBoxGame, LinesBreakAtMarksOnTheScreenAndWrapWhenAWordDoesNotFit) {
  // Model 1 links after "§": a new line on the screen, the same line on the
  // panel, where "§" is drawn like a word.
  ASSERT_TRUE(run({"display= @a|x| \xA7 @b|y| end,tel,10,40", "display= @a|x| \xA7 @b|y| end,fnc,10,20"}));
  EXPECT_EQ(record(0).y, 40);
  EXPECT_EQ(record(1).y, 40 + 18);
  EXPECT_EQ(record(1).x, 10 + advance(w().screenBuffer, " "));
  EXPECT_EQ(record(20).y, 20);
  EXPECT_EQ(record(21).y, 20);

  // A first word wider than the box leaves the first line empty; a word that
  // does not fit after others starts the next line at the box's left edge.
  ASSERT_TRUE(run({"print= @Extraordinarily|x| ok,10,40,20", "print= ab @cd|y|,10,100,30"}));
  EXPECT_EQ(record(0).x, 10);
  EXPECT_EQ(record(0).y, 40 + 18);
  ASSERT_LT(advance(w().screenBuffer, "ab "), 30);
  ASSERT_GT(advance(w().screenBuffer, "ab ") + advance(w().screenBuffer, "cd"), 30);
  EXPECT_EQ(record(1).x, 10);
  EXPECT_EQ(record(1).y, 100 + 18);
}

TEST_F(TextBoxGame, TheTextCursorEndsUnderTheLastLine) {
  const struct {
    std::string lineHeight;
    int y;
  } cases[] = {{"", 40 + 2 * 18 + 18}, {"entrelinha= 20", 40 + 2 * 20 + 20}, {"entrelinha= x", 94}};
  ASSERT_TRUE(run({"modo= 3"}));
  for (const auto& c : cases) {
    ASSERT_TRUE(run({c.lineHeight, "print= a \xA7 b \xA7 c,10,40"}));
    EXPECT_EQ(s().pageWriteY, c.y) << c.lineHeight;
    EXPECT_EQ(s().pageWriteX, 0) << c.lineHeight;
  }
  EXPECT_TRUE(traced("entrelinha= 20"));

  // In model 1 print= has turned "§" into a line end, which does not break;
  // display= keeps it.
  ASSERT_TRUE(run({"modo= 1"}));
  ASSERT_TRUE(run({"print= a \xA7" "b,0,100"}));
  EXPECT_EQ(s().pageWriteY, 118);
  ASSERT_TRUE(run({"display= a \xA7" "b,tel,0,100"}));
  EXPECT_EQ(s().pageWriteY, 136);
}

TEST_F(TextBoxGame, ThePageCursorCommandsAndThePageGrowingDownward) {
  ASSERT_TRUE(run({"postxt= 5,5"}));
  EXPECT_TRUE(traced("postxt=  <--- n\xE3o est\xE1 no modo 3"));
  EXPECT_EQ(s().pageWriteX, 0);

  ASSERT_TRUE(run({"modo= 3"}));
  ASSERT_TRUE(run({"postxt= 30,50", "print= @a|x|,-1,-1", "postxt= $,70", "print= @b|x|,-1,-1", "postxt= ,q"}));
  EXPECT_EQ(record(60).x, 30);
  EXPECT_EQ(record(60).y, 50);
  EXPECT_EQ(record(61).x, 30);
  EXPECT_EQ(record(61).y, 70);
  EXPECT_EQ(s().pageWriteX, 30);
  EXPECT_EQ(s().pageWriteY, 0);
  EXPECT_TRUE(traced("postxt= 30,50"));
  EXPECT_TRUE(traced("postxt= 30,70"));

  ASSERT_TRUE(run({"postxt= 0,100", "lnfeed="}));
  EXPECT_EQ(s().pageWriteY, 110);
  ASSERT_TRUE(run({"postxt= 0,100", "lnfeed= 30", "lnfeed= x"}));
  EXPECT_EQ(s().pageWriteY, 130);

  // The page (250 rows) grows to reach the cursor, and by a line and ten
  // rows each time a line would pass its end.
  PictureWidget& page = *w().TelMod3;
  ASSERT_EQ(page.picture().height(), 250);
  ASSERT_TRUE(run({"postxt= 0,240", "lnfeed= 20"}));
  EXPECT_EQ(page.picture().height(), 260);
  ASSERT_TRUE(run({"postxt= 0,250", "print= a \xA7 b \xA7 c,,,,10"}));
  EXPECT_EQ(page.picture().height(), 260 + 28 + 28);
  EXPECT_EQ(page.height(), 260 + 28 + 28);
  EXPECT_EQ(s().pageWriteY, 250 + 36 + 18);
  EXPECT_EQ(page.picture().pixel(370, 310), kBackground);
  EXPECT_EQ(w().Tela3->picture().height(), 316);  // shown at the end of the run

  // Nothing happens outside model 3.
  ASSERT_TRUE(run({"modo= 1"}));
  const int y = s().pageWriteY;
  ASSERT_TRUE(run({"lnfeed= 40"}));
  EXPECT_EQ(s().pageWriteY, y);
}

TEST_F(TextBoxGame, TheBoxIsFilledUnlessItHasTheBackgroundColour) {
  const QImage& buffer = w().screenBuffer;
  ASSERT_TRUE(run({"print= hi,10,10,50,30,,,0000FF", "display= red.bmp,tel,100,10,50,30",
                   "print= hi,100,10,50,30,,,102030"}));
  EXPECT_EQ(buffer.pixel(10, 39), qRgb(0, 0, 255));
  EXPECT_EQ(buffer.pixel(59, 10), qRgb(0, 0, 255));
  EXPECT_EQ(buffer.pixel(60, 10), kBackground);
  EXPECT_EQ(buffer.pixel(10, 40), kBackground);
  EXPECT_TRUE(anyPixel(buffer, QRect(10, 10, 50, 20), whitish));
  // Drawn over the picture: its corner stays red.
  EXPECT_EQ(buffer.pixel(149, 39), qRgb(255, 0, 0));
  EXPECT_TRUE(anyPixel(buffer, QRect(100, 10, 50, 20), whitish));

  // A colour that does not convert fails the command.
  EXPECT_FALSE(run({"print= hi,0,0,,,GG0000"}));
}

TEST_F(TextBoxGame, AnEmptyTextDrawsSemTextoAndTheStyleFollowsTheSurface) {
  const QImage& buffer = w().screenBuffer;
  ASSERT_TRUE(run({"print= $,10,100"}));  // the text buffer is empty
  const int second = advance(buffer, "Sem ");
  EXPECT_TRUE(anyPixel(buffer, QRect(10, 100, second, 18), whitish));
  EXPECT_TRUE(anyPixel(buffer, QRect(10 + second, 100, advance(buffer, "texto."), 18), whitish));

  // A style given once stays with the screen back buffer for the next box
  // without one, as long as it is a single style.
  ASSERT_TRUE(run({"print= a,0,0,,,,Biu", "print= b,0,0", "print= c,0,0,,,,BIu", "print= d,0,0"}));
  EXPECT_TRUE(traced("print= b,0,0,320,240,FFFFFF,Biu,102030,12"));
  EXPECT_TRUE(traced("print= d,0,0,320,240,FFFFFF,biu,102030,12"));
}

TEST_F(TextBoxGame, DisplayWritesTextOnTheScreenOrAsAPageLine) {
  const QImage& buffer = w().screenBuffer;
  ASSERT_TRUE(run({"autocls off"}));
  w().Msg->setPlainText("old");
  ASSERT_TRUE(run({"reg= 1,x"}));
  EXPECT_EQ(w().Msg->toPlainText(), "old");
  ASSERT_TRUE(run({"display= Hi~there^,tel,5,5", "display= Hi,tel,5,150,,,14,00FF00"}));
  EXPECT_TRUE(w().Msg->toPlainText().isEmpty());
  EXPECT_TRUE(anyPixel(buffer, QRect(5, 5, 60, 18), whitish));
  EXPECT_TRUE(anyPixel(buffer, QRect(5, 150, 30, 21), greenish));
  // Width of the screen buffer; the height is the size the previous
  // display= left (none before the first).
  EXPECT_TRUE(traced("display= Hi th,tel,5,5,320,0,12,FFFFFF,biu"));
  EXPECT_TRUE(traced("display= Hi,tel,5,150,320,12,14,00FF00,biu"));
  ASSERT_TRUE(run({"display= $,tel", "display= x,web"}));
  EXPECT_TRUE(traced("display=  <--- texto/frase inexistente!"));
  EXPECT_TRUE(traced("display= x,web <--- n\xE3o indicou o local tel/fnc/tel!"));

  ASSERT_TRUE(run({"modo= 2"}));
  ASSERT_TRUE(run({"display= Hi~you,tel,0,0,,,14,00FF00,BIU", "display= Hi,tel,0,0,,,,,B"}));
  const auto& page = s().pageBuffer;
  auto onPage = [&](const std::string& line) { return std::find(page.begin(), page.end(), line) != page.end(); };
  EXPECT_TRUE(onPage("<font face=Arial color=#00FF00 style=14px; <b><em><u>Hi&nbsp;you</u></em></b></font>"));
  EXPECT_TRUE(onPage("<font face=Arial color=#FFFFFF style=12px; <b>Hi</b></font>"));
}

TEST_F(TextBoxGame, Model4DrawsOnTheMonitorAndStopsAtTheBoxHeight) {
  ASSERT_TRUE(run({"modo= 4"}));
  // Logical pixels are monitor pixels at scale 1; the monitor buffer keeps
  // its size.
  s().scale = 1.0;
  s().exits[static_cast<size_t>(Direction::North)] = "hall";
  const QImage& buffer = p->rt().monitor->monitorBuffer;
  ASSERT_TRUE(run({"szelink= 3", "print= @a|@norte| \xA7 @b|2| \xA7 @c|3|,10,10,200,54"}));
  EXPECT_EQ(record(0).target, "@norte");  // translated when it runs
  EXPECT_EQ(record(0).y, 10);
  EXPECT_EQ(record(1).y, 10 + 18);
  EXPECT_FALSE(record(2).active);  // a third line would reach the height
  EXPECT_TRUE(anyPixel(buffer, QRect(record(0).x, 10, record(0).width, 14), greenish));
  // Underlined in the link colour 12 / 2 + 12 - 2 rows below the top, three
  // rows thick around that row.
  for (int row : {15, 16, 17}) {
    EXPECT_TRUE(rowIs(buffer, record(0).x, 10 + row, record(0).width, qRgb(0, 255, 0))) << row;
  }
  EXPECT_TRUE(traced("print= @a|@n,10,10,200,54,FFFFFF,"));
  EXPECT_TRUE(traced("szelink= 3"));
}
