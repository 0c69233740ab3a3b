#include <gtest/gtest.h>

#include <QFontMetrics>

#include <functional>
#include <optional>

#include "presentation/layoutgame.h"
#include "presentation/mainwindow.h"
#include "presentation/overlay.h"
#include "windows/monitorwindow.h"

using namespace corvant;
using corvant::test::LayoutGame;

namespace {

constexpr QRgb kBackground = 0xFF102030;  // configuration index 18
constexpr QRgb kRed = 0xFFFF0000;
constexpr QRgb kBlue = 0xFF0000FF;
constexpr QRgb kMagenta = 0xFFFF00FF;

// Every pixel tells where it came from.
QRgb origin(int x, int y) { return qRgb(x % 256, y % 256, (x / 256) * 16 + y / 256); }

QImage gradient(QSize size) {
  QImage image(size, QImage::Format_RGB32);
  for (int y = 0; y < size.height(); ++y)
    for (int x = 0; x < size.width(); ++x) image.setPixel(x, y, origin(x, y));
  return image;
}

struct DecorationGame : LayoutGame {
  DecorationGame() {
    // A blue overlay of 4 x 4 whose top-left pixel is transparent.
    QImage hud(4, 4, QImage::Format_RGB32);
    hud.fill(Qt::blue);
    hud.setPixel(0, 0, kMagenta);
    hud.save(f.path() + "hud.bmp");
    // An empty overlay to paste pieces into.
    QImage blank(20, 20, QImage::Format_RGB32);
    blank.fill(kMagenta);
    blank.save(f.path() + "blank.bmp");
  }
  TForm1& w() { return p->window(); }
  GameState& state() { return p->rt().state; }
  TForm10& monitor() { return *p->rt().monitor; }
  QRgb buffer(int x, int y) { return w().screenBuffer.pixel(x, y); }
  QRgb shown(int x, int y) { return w().Tela->picture().pixel(x, y); }
  QColor colourOf(const QLabel* label) { return label->palette().color(QPalette::WindowText); }
};

}  // namespace

// ------------------------------------------------------------------ subtitle

TEST_F(DecorationGame, SubtitleShadowIsOffsetOnlyWhenItsColourDiffers) {
  ASSERT_TRUE(run({"legenda= Hello,10,20,100,30,,12,FF0000,00FF00"}));
  const QLabel* text = w().Legda;
  const QLabel* shadow = w().Sombra;
  EXPECT_EQ(text->text(), QStringLiteral("Hello"));
  EXPECT_EQ(shadow->text(), QStringLiteral("Hello"));
  EXPECT_EQ(text->geometry(), QRect(10, 20, 100, 30));
  EXPECT_EQ(shadow->geometry(), QRect(8, 22, 100, 30));  // lower and further left
  EXPECT_EQ(colourOf(text), QColor(255, 0, 0));
  EXPECT_EQ(colourOf(shadow), QColor(0, 255, 0));
  EXPECT_EQ(text->font().pointSize(), 12);
  EXPECT_EQ(shadow->font(), text->font());
  EXPECT_TRUE(text->wordWrap());
  EXPECT_FALSE(text->autoFillBackground());
  EXPECT_TRUE(text->isVisibleTo(w().PanTel));
  // The shadow is drawn behind the text.
  const QObjectList& stack = w().PanTel->children();
  EXPECT_LT(stack.indexOf(const_cast<QLabel*>(shadow)), stack.indexOf(const_cast<QLabel*>(text)));
  EXPECT_TRUE(traced("legenda= Hello,10,20,,12,12,FF0000,00FF00"));

  // The same colour: the shadow sits exactly under the text.
  ASSERT_TRUE(run({"legenda= Hello,10,20,100,30,,12,00FF00"}));
  EXPECT_EQ(shadow->geometry(), text->geometry());

  // No sizes: a zero-size label shows nothing.
  ASSERT_TRUE(run({"legenda= Hello,10,20"}));
  EXPECT_TRUE(text->size().isEmpty());
  EXPECT_TRUE(shadow->size().isEmpty());
}

TEST_F(DecorationGame, SubtitleTextMarkersStyleAndAlignment) {
  state().memoText = "first\r\nsecond";
  struct Case {
    std::string line;
    QString text;
  };
  const Case cases[] = {
      {"legenda= ,0,0,50,50", QStringLiteral("Sem texto.")},
      {"legenda= a~b^c,0,0,50,50", QStringLiteral("a b,c")},
      {"legenda= up\xA7" "down,0,0,50,50", QStringLiteral("up\ndown")},
      {"legenda= <b>x</b>,0,0,50,50", QStringLiteral("<b>x</b>")},
      {"legenda= $,0,0,50,50", QStringLiteral("first\nsecond")},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(run({c.line})) << c.line;
    EXPECT_EQ(w().Legda->text(), c.text) << c.line;
    EXPECT_EQ(w().Legda->textFormat(), Qt::PlainText);
  }

  // A size that is no number is 1.
  ASSERT_TRUE(run({"fntsty= B-U", "align= right", "legenda= styled,0,0,50,50,,x"}));
  QFont font = w().Legda->font();
  EXPECT_TRUE(font.bold());
  EXPECT_FALSE(font.italic());
  EXPECT_TRUE(font.underline());
  EXPECT_EQ(font.pointSize(), 1);
  EXPECT_TRUE(w().Legda->alignment() & Qt::AlignRight);
  EXPECT_EQ(w().Sombra->alignment(), w().Legda->alignment());
  ASSERT_TRUE(run({"fntsty= ", "align= center", "legenda= plain,0,0,50,50"}));
  EXPECT_FALSE(w().Legda->font().bold());
  EXPECT_TRUE(w().Legda->alignment() & Qt::AlignHCenter);
}

TEST_F(DecorationGame, AFreshRunEmptiesTheSubtitleAndMovesItOutOfSight) {
  ASSERT_TRUE(run({"legenda= Hello,10,20,100,30,,12,FF0000,00FF00"}));
  ASSERT_TRUE(run({"/ nothing"}));
  for (const QLabel* label : {w().Legda, w().Sombra}) {
    EXPECT_TRUE(label->text().isEmpty());
    EXPECT_EQ(label->y(), 1000);
  }
  EXPECT_EQ(w().Legda->x(), 10);
}

TEST_F(DecorationGame, Model4SubtitleIsScaledOnTheMonitorWithTheShadowAlwaysOffset) {
  ASSERT_TRUE(run({"modo= 4"}));
  const double scale = state().scale;
  ASSERT_NE(scale, 1.0);
  ASSERT_TRUE(run({"legenda= Hello,10,20,100,30,,12,FF0000,FF0000"}));
  const QLabel* text = monitor().Legda;
  const QLabel* shadow = monitor().Sombra;
  auto s = [&](int n) { return static_cast<int>(n * scale); };
  EXPECT_EQ(text->geometry(), QRect(s(10), s(20), s(100), s(30)));
  EXPECT_EQ(shadow->geometry(), text->geometry().translated(-2, 2));
  EXPECT_EQ(text->font().pointSize(), s(12));
  EXPECT_TRUE(text->isVisibleTo(monitor().PanMon));
  EXPECT_EQ(text->text(), QStringLiteral("Hello"));
  EXPECT_TRUE(w().Legda->text().isEmpty());  // the main window's pair is not used

  ASSERT_TRUE(run({"/ nothing"}));
  EXPECT_TRUE(text->text().isEmpty());
  EXPECT_EQ(shadow->y(), 1000);
}

TEST_F(DecorationGame, OtherModelsShowNoSubtitle) {
  ASSERT_TRUE(run({"modo= 3", "legenda= Hello,10,20,100,30,,12,FF0000,00FF00"}));
  EXPECT_TRUE(w().Legda->text().isEmpty());
  EXPECT_TRUE(traced("legenda= Hello,10,20"));
  EXPECT_FALSE(traced("legenda= Hello,10,20,"));
}

// ------------------------------------------------------------------- overlay

TEST_F(DecorationGame, TheOverlayIsStampedAtEveryPresentationUntilSwitchedOff) {
  ASSERT_TRUE(run({"hud= hud.bmp,20,30", "hud= on"}));
  EXPECT_TRUE(traced("hud= 20,30"));
  EXPECT_EQ(buffer(21, 31), kBlue);
  EXPECT_EQ(shown(23, 33), kBlue);
  EXPECT_EQ(shown(20, 30), kBackground);  // magenta is transparent
  EXPECT_EQ(shown(24, 30), kBackground);

  // A clear of the whole screen: the end of the run stamps the overlay again.
  ASSERT_TRUE(run({"cls"}));
  EXPECT_EQ(shown(21, 31), kBlue);

  // Off stops the stamping but leaves what was drawn until it is drawn over.
  ASSERT_TRUE(run({"hud= off"}));
  EXPECT_EQ(buffer(21, 31), kBlue);
  ASSERT_TRUE(run({"cls"}));
  EXPECT_EQ(shown(21, 31), kBackground);
}

TEST_F(DecorationGame, AnEmptyHudCommandStampsOnceWithoutSwitchingOn) {
  ASSERT_TRUE(run({"hud= hud.bmp,5,6", "cls", "hud="}));
  EXPECT_EQ(shown(6, 7), kBlue);
  ASSERT_TRUE(run({"cls"}));
  EXPECT_EQ(shown(6, 7), kBackground);
}

TEST_F(DecorationGame, AHudPositionNeedsAnOverlayPicture) {
  ASSERT_TRUE(run({"hud= missing.bmp,5,6"}));
  EXPECT_TRUE(traced("hud=  <--- n\xE3o tem arquivo hud instalado"));
  ASSERT_TRUE(run({"hud= hud.bmp,x,7", "hud= on"}));
  EXPECT_TRUE(traced("hud= 0,7"));
  EXPECT_EQ(shown(1, 8), kBlue);
}

TEST_F(DecorationGame, OverlayPiecesArePastedIntoTheOverlayAndLnkAddsAViewerLink) {
  ASSERT_TRUE(run({"hud= blank.bmp", "hud= fig,red.bmp,2,3,4,5", "hud= fig,missing.bmp,0,0"}));
  const QImage& overlay = w().Hud->picture();
  EXPECT_EQ(overlay.pixel(2, 3), kRed);
  EXPECT_EQ(overlay.pixel(5, 7), kRed);
  EXPECT_EQ(overlay.pixel(6, 3), kMagenta);
  EXPECT_EQ(overlay.pixel(2, 8), kMagenta);
  EXPECT_EQ(overlay.pixel(0, 0), kMagenta);
  const LinkRange viewer = linkRange(LinkGroup::Viewer);
  EXPECT_EQ(state().links.nextSlot(LinkGroup::Viewer), viewer.first);  // "fig" adds no link

  ASSERT_TRUE(run({"hud= lnk,red.bmp,10,11,,,porta,3", "hud= lnk,red.bmp,1,1,2,2,sala", "hud= lnk,missing.bmp,0,0,,,x"}));
  EXPECT_EQ(overlay.pixel(17, 18), kRed);  // its own size, 8 x 8
  const LinkRecord& first = state().links.records[static_cast<size_t>(viewer.first)];
  EXPECT_TRUE(first.active);
  EXPECT_EQ(first.kind, "lnk");
  EXPECT_EQ(first.target, "porta");
  EXPECT_EQ(QRect(first.x, first.y, first.width, first.height), QRect(10, 11, 8, 8));
  EXPECT_EQ(first.cursor, 3);
  const LinkRecord& second = state().links.records[static_cast<size_t>(viewer.first + 1)];
  EXPECT_EQ(second.target, "sala");
  EXPECT_EQ(second.cursor, 1);
  EXPECT_EQ(state().links.nextSlot(LinkGroup::Viewer), viewer.first + 2);  // the missing file adds none
  EXPECT_FALSE(state().links.records[0].active);
}

// --------------------------------------------------------------------- shape

TEST_F(DecorationGame, APictureShapeIsStretchedOntoTheBufferAndMayBeALink) {
  ASSERT_TRUE(run({"shape= red.bmp,10,20,16,4"}));
  EXPECT_EQ(buffer(10, 20), kRed);
  EXPECT_EQ(buffer(25, 23), kRed);
  EXPECT_EQ(buffer(26, 20), kBackground);
  EXPECT_EQ(buffer(10, 24), kBackground);
  EXPECT_FALSE(state().links.records[0].active);

  ASSERT_TRUE(run({"shape= red.bmp,40,50,,,porta,down.bmp"}));
  const LinkRecord& rec = state().links.records[0];
  EXPECT_TRUE(rec.active);
  EXPECT_EQ(rec.picture, "red.bmp");
  EXPECT_EQ(rec.target, "porta");
  EXPECT_EQ(rec.pressedPicture, "down.bmp");
  EXPECT_TRUE(rec.pressSound.empty());
  EXPECT_TRUE(rec.kind.empty());
  EXPECT_EQ(rec.cursor, 1);
  EXPECT_EQ(QRect(rec.x, rec.y, rec.width, rec.height), QRect(40, 50, 8, 8));
  EXPECT_EQ(buffer(47, 57), kRed);
}

TEST_F(DecorationGame, ATextShapeIsWrittenAndUnderlinedWhenItIsALink) {
  ASSERT_TRUE(run({"cls", "shape= Porta,5,5"}));
  const QImage plain = w().screenBuffer;
  QImage blank(plain.size(), plain.format());
  blank.fill(kBackground);
  EXPECT_NE(plain, blank);  // the text is written
  EXPECT_FALSE(state().links.records[0].active);

  ASSERT_TRUE(run({"cls", "shape= Porta,5,5,,,porta"}));
  const QFontMetrics metrics(w().screenCanvas.font);
  const LinkRecord& rec = state().links.records[0];
  EXPECT_TRUE(rec.active);
  EXPECT_EQ(rec.picture, "Porta");
  EXPECT_EQ(QRect(rec.x, rec.y, rec.width, rec.height),
            QRect(5, 5, metrics.horizontalAdvance(QStringLiteral("Porta")), metrics.height()));
  // The same text with an underline across its width, in the font colour.
  const int underline = 5 + rec.height - 6;
  const QRgb ink = w().screenCanvas.fontColour.rgb();
  for (int y = 0; y < plain.height(); ++y) {
    for (int x = 0; x < plain.width(); ++x) {
      const bool onLine = y == underline && x >= 5 && x < 5 + rec.width;
      ASSERT_EQ(buffer(x, y), onLine ? ink : plain.pixel(x, y)) << x << "," << y;
    }
  }
}

TEST_F(DecorationGame, ShapeFailuresAreTraced) {
  ASSERT_TRUE(run({"shape=", "shape= missing.png,1,1,,,porta"}));
  EXPECT_TRUE(traced("shape=  <--- informe nome do shape/texto"));
  EXPECT_TRUE(traced("shape= missing.png <--- arquivo inexistente!"));
  EXPECT_FALSE(state().links.records[0].active);
}

TEST_F(DecorationGame, Model4ShapesAreScaledOntoTheMonitorBuffer) {
  ASSERT_TRUE(run({"modo= 4"}));
  const double scale = state().scale;
  ASSERT_NE(scale, 1.0);
  ASSERT_TRUE(run({"shape= red.bmp,10,20,,,porta"}));
  auto s = [&](int n) { return static_cast<int>(n * scale); };
  const LinkRecord& rec = state().links.records[0];
  EXPECT_EQ(QRect(rec.x, rec.y, rec.width, rec.height), QRect(s(10), s(20), s(8), s(8)));
  const QImage& m = monitor().monitorBuffer;
  EXPECT_EQ(m.pixel(rec.x, rec.y), kRed);
  EXPECT_EQ(m.pixel(rec.x + rec.width - 1, rec.y + rec.height - 1), kRed);
  EXPECT_NE(m.pixel(rec.x + rec.width, rec.y), kRed);
}

// ------------------------------------------------------------------ scroll

namespace {

// Where a pixel of the region came from, or nothing when it was filled.
using Source = std::function<std::optional<QPoint>(int x, int y)>;

}  // namespace

TEST_F(DecorationGame, ScrollShiftsTheRegionAndFillsWithTheBackground) {
  // Region x 2..6, y 1..10, step 3.
  const QRect region(2, 1, 5, 10);
  struct Case {
    std::string line;
    Source from;
  };
  const Case cases[] = {
      {"scroll up,2,1,5,10,3",
       [](int x, int y) { return y <= 7 ? std::optional(QPoint(x, y + 3)) : std::nullopt; }},
      {"scroll ,2,1,5,10,3",
       [](int x, int y) { return y <= 7 ? std::optional(QPoint(x, y + 3)) : std::nullopt; }},
      {"scroll down,2,1,5,10,3",
       [](int x, int y) { return y >= 4 ? std::optional(QPoint(x, y - 3)) : std::nullopt; }},
      {"scroll left,2,1,5,10,3",
       [](int x, int y) { return x <= 3 ? std::optional(QPoint(x + 3, y)) : std::nullopt; }},
      {"scroll right,2,1,5,10,3",
       [](int x, int y) { return x >= 5 ? std::optional(QPoint(x - 3, y)) : std::nullopt; }},
      {"rollon up,2,1,5,10,3",
       [](int x, int y) { return std::optional(y <= 7 ? QPoint(x, y + 3) : QPoint(x, y - 7)); }},
      // Only "up" rolls.
      {"rollon down,2,1,5,10,3",
       [](int x, int y) { return y >= 4 ? std::optional(QPoint(x, y - 3)) : std::nullopt; }},
      {"rollon up,2,1,5,10,10", [](int x, int y) { return std::optional(QPoint(x, y)); }},
      {"scroll sideways,2,1,5,10,3", [](int x, int y) { return std::optional(QPoint(x, y)); }},
  };
  for (const Case& c : cases) {
    w().screenBuffer = gradient(w().screenBuffer.size());
    ASSERT_TRUE(run({c.line})) << c.line;
    for (int y = 0; y <= 11; ++y) {
      for (int x = 1; x <= 7; ++x) {
        std::optional<QPoint> from = region.contains(x, y) ? c.from(x, y) : std::optional(QPoint(x, y));
        const QRgb expected = from ? origin(from->x(), from->y()) : kBackground;
        ASSERT_EQ(buffer(x, y), expected) << c.line << " at " << x << "," << y;
      }
    }
  }
  EXPECT_TRUE(traced("scroll down,2,1,5,10,3"));
}

TEST_F(DecorationGame, ScrollDefaultsToTheWholeScreenAndAStepOfOneAndAHalfFontSizes) {
  const QSize size = w().Tela->size();
  w().screenBuffer = gradient(w().screenBuffer.size());
  ASSERT_TRUE(run({"scroll down"}));
  const int points = state().text.fontSize;
  const int step = points + points / 2;
  ASSERT_GT(step, 0);
  EXPECT_EQ(buffer(5, step - 1), kBackground);
  EXPECT_EQ(buffer(size.width() - 1, step - 1), kBackground);
  EXPECT_EQ(buffer(5, step), origin(5, 0));
  EXPECT_EQ(buffer(size.width() - 1, size.height() - 1), origin(size.width() - 1, size.height() - 1 - step));
}

TEST_F(DecorationGame, Model4ScrollScalesWhatIsGivenButNotTheDefaultedSize) {
  ASSERT_TRUE(run({"modo= 4"}));
  const double scale = state().scale;
  ASSERT_NE(scale, 1.0);
  QImage& m = monitor().monitorBuffer;
  m = gradient(m.size());
  ASSERT_TRUE(run({"scroll left,0,0,,10,2"}));
  const int width = monitor().Monitor->width();
  const int step = static_cast<int>(2 * scale), height = static_cast<int>(10 * scale);
  ASSERT_EQ(width, m.width());
  EXPECT_EQ(m.pixel(0, 0), origin(step, 0));
  EXPECT_EQ(m.pixel(width - step - 1, height - 1), origin(width - 1, height - 1));
  EXPECT_EQ(m.pixel(width - step, 0), kBackground);
  EXPECT_EQ(m.pixel(width - 1, height - 1), kBackground);
  EXPECT_EQ(m.pixel(width - 1, height), origin(width - 1, height));  // below the region
}

TEST_F(DecorationGame, ScrollAndFlipAlsoMoveTheMapWhileItShows) {
  const QImage map = gradient(QSize(40, 30));
  w().MapJog->setPicture(map);
  w().Abok1->setCurrentIndex(TForm1::PageMapa);
  ASSERT_TRUE(run({"scroll right,0,0,40,30,4"}));
  const QImage& shownMap = w().MapJog->picture();
  EXPECT_EQ(shownMap.pixel(3, 0), kBackground);
  EXPECT_EQ(shownMap.pixel(4, 29), origin(0, 29));
  EXPECT_EQ(shownMap.pixel(39, 0), origin(35, 0));

  w().MapJog->setPicture(map);
  ASSERT_TRUE(run({"flip vertical"}));
  EXPECT_EQ(w().MapJog->picture().pixel(7, 0), origin(7, 29));

  // Hidden, the map is left alone.
  w().MapJog->setPicture(map);
  w().Abok1->setCurrentIndex(TForm1::Page1);
  ASSERT_TRUE(run({"flip", "scroll up,0,0,40,30,4"}));
  EXPECT_EQ(w().MapJog->picture(), map);
}

// --------------------------------------------------------------------- flip

TEST_F(DecorationGame, FlipMirrorsTheScreenBuffer) {
  const QSize size = w().screenBuffer.size();
  const int right = size.width() - 1, bottom = size.height() - 1;
  struct Case {
    std::string line;
    std::function<QPoint(int x, int y)> from;
  };
  const Case cases[] = {
      {"flip", [&](int x, int y) { return QPoint(right - x, y); }},
      {"flip horizontal", [&](int x, int y) { return QPoint(right - x, y); }},
      {"flip vertical", [&](int x, int y) { return QPoint(x, bottom - y); }},
      {"flip diagonal", [](int x, int y) { return QPoint(x, y); }},
  };
  for (const Case& c : cases) {
    w().screenBuffer = gradient(size);
    ASSERT_TRUE(run({c.line})) << c.line;
    for (QPoint at : {QPoint(0, 0), QPoint(3, 7), QPoint(right, bottom), QPoint(right - 2, 1)}) {
      const QPoint from = c.from(at.x(), at.y());
      EXPECT_EQ(buffer(at.x(), at.y()), origin(from.x(), from.y())) << c.line;
      EXPECT_EQ(shown(at.x(), at.y()), origin(from.x(), from.y())) << c.line;
    }
  }
}

TEST_F(DecorationGame, Model3FlipsThePageNotTheScreen) {
  ASSERT_TRUE(run({"modo= 3"}));
  QImage& page = w().TelMod3->picture();
  ASSERT_FALSE(page.isNull());
  page = gradient(page.size());
  const QImage screen = gradient(w().screenBuffer.size());
  w().screenBuffer = screen;
  ASSERT_TRUE(run({"flip vertical"}));
  EXPECT_EQ(page.pixel(2, 0), origin(2, page.height() - 1));
  EXPECT_EQ(w().screenBuffer, screen);
}
