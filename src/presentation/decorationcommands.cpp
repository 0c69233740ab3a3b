// Subtitles, the overlay, shapes, scrolling and mirroring of the screen.
#include <QFontMetrics>
#include <QLabel>
#include <QPainter>
#include <QStackedWidget>

#include <array>

#include "engine/commandtable.h"
#include "engine/linesyntax.h"
#include "engine/params.h"
#include "presentation/layout.h"
#include "presentation/linktable.h"
#include "presentation/mainwindow.h"
#include "presentation/overlay.h"
#include "presentation/pictures.h"
#include "runtime/files.h"
#include "runtime/runtime.h"
#include "text/cp1252.h"
#include "text/numbers.h"
#include "text/strings.h"
#include "windows/monitorwindow.h"

namespace corvant {
namespace {

using text::intToText;
using text::parseIntOr;

// Until the picture viewer exists it is never active.
constexpr bool kViewerActive = false;

bool inGraphicsFolder(const Runtime& rt, const std::string& name) {
  return files::exists(files::join(rt.state.paths.graphicsFolder, name));
}

int scaled(int n, double scale) { return static_cast<int>(n * scale); }

bool mapPageShows(const TForm1& w) { return w.Abok1->currentIndex() == TForm1::PageMapa; }

// ---------------------------------------------------------------- subtitle

Qt::Alignment subtitleAlignment(const std::string& word) {
  if (word == "center") return Qt::AlignHCenter | Qt::AlignTop;
  if (word == "right") return Qt::AlignRight | Qt::AlignTop;
  return Qt::AlignLeft | Qt::AlignTop;
}

QColor labelColour(const QLabel& label) { return label.palette().color(QPalette::WindowText); }

void setLabelColour(QLabel& label, const std::string& colourString) {
  if (colourString.empty()) return;
  QPalette palette = label.palette();
  palette.setColor(QPalette::WindowText, colourOr(colourString, labelColour(label)));
  label.setPalette(palette);
}

// Both labels of a subtitle: wrapped plain text over whatever lies beneath.
void showSubtitleLabel(QLabel& label, const QRect& area, const QFont& font, Qt::Alignment alignment,
                       const QString& shown) {
  label.setTextFormat(Qt::PlainText);
  label.setWordWrap(true);
  label.setAutoFillBackground(false);
  label.setAttribute(Qt::WA_TranslucentBackground);
  label.setGeometry(area);
  label.setFont(font);
  label.setAlignment(alignment);
  label.setText(shown);
  label.show();
}

struct SubtitleRequest {
  QString shown;
  QRect area;
  std::string fontName;
  int fontSize = 1;
  std::string textColour, shadowColour;
};

void showSubtitle(Runtime& rt, QLabel& legend, QLabel& shadow, const SubtitleRequest& r, bool alwaysOffset) {
  const TextSettings& t = rt.state.text;
  QFont font;
  if (!r.fontName.empty()) font.setFamily(text::toQString(r.fontName));
  if (r.fontSize > 0) font.setPointSize(r.fontSize);
  else if (r.fontSize < 0) font.setPixelSize(-r.fontSize);
  font.setBold(t.bold);
  font.setItalic(t.italic);
  font.setUnderline(t.underline);
  setLabelColour(legend, r.textColour);
  setLabelColour(shadow, r.shadowColour);
  const Qt::Alignment alignment = subtitleAlignment(t.alignment);
  showSubtitleLabel(legend, r.area, font, alignment, r.shown);
  // A shadow in the text's own colour would only thicken the text, so it
  // stays exactly underneath; the monitor always shows it.
  const bool offset = alwaysOffset || labelColour(legend) != labelColour(shadow);
  showSubtitleLabel(shadow, offset ? r.area.translated(-2, 2) : r.area, font, alignment, r.shown);
  shadow.raise();
  legend.raise();
}

void subtitle(Runtime& rt) {
  std::string& trace = rt.interp.trace;
  std::array<std::string, 9> p;
  for (int i = 1; i <= 9; ++i) p[static_cast<size_t>(i - 1)] = valueParam(rt, i);
  const std::string& model = rt.state.modelo;
  std::string shown;
  // "$" alone asks for the memo text. It is read before the register-name
  // substitution, which would otherwise turn it into the content of the
  // first register without a name.
  if (rt.interp.P(1) == "$") {
    shown = rt.state.memoText;
  } else {
    shown = substituteAllMarkers(p[0].empty() ? "Sem texto." : p[0], model);
  }
  trace += shown + "," + p[1] + "," + p[2];
  SubtitleRequest r;
  r.area = QRect(parseIntOr(p[1], 0), parseIntOr(p[2], 0), parseIntOr(p[3], 0), parseIntOr(p[4], 0));
  if (model != "1" && model != "4") return;
  r.fontName = p[5];
  const std::string sizeText = p[6].empty() ? "1" : p[6];
  r.fontSize = parseIntOr(sizeText, 1);
  trace += "," + p[5] + "," + sizeText + "," + sizeText + "," + p[7] + "," + p[8];
  r.textColour = p[7];
  r.shadowColour = p[8];
  // Labels take plain line feeds; "§" arrives as CR LF.
  r.shown = text::toQString(shown).replace(QLatin1String("\r\n"), QLatin1String("\n"));
  if (model == "1") {
    if (TForm1* w = rt.form1) showSubtitle(rt, *w->Legda, *w->Sombra, r, false);
    return;
  }
  TForm10* m = rt.monitor;
  if (!m) return;
  const double scale = rt.state.scale;
  r.area = QRect(scaled(r.area.x(), scale), scaled(r.area.y(), scale), scaled(r.area.width(), scale),
                 scaled(r.area.height(), scale));
  r.fontSize = scaled(r.fontSize, scale);
  showSubtitle(rt, *m->Legda, *m->Sombra, r, true);
}

// ----------------------------------------------------------------- overlay

// hud= fig / lnk: a picture copied into the overlay itself, optionally a link.
void overlayPiece(Runtime& rt, bool link) {
  const std::string file = valueParam(rt, 2);
  if (file.empty() || !inGraphicsFolder(rt, file)) return;
  TForm1* w = rt.form1;
  if (!w) return;
  loadPicture(rt, file, Surface::BufShp);
  const QImage& piece = w->BufShp->picture();
  const QRect area(parseIntOr(valueParam(rt, 3), 0), parseIntOr(valueParam(rt, 4), 0),
                   parseIntOr(valueParam(rt, 5), piece.width()), parseIntOr(valueParam(rt, 6), piece.height()));
  QImage& overlay = w->Hud->picture();
  if (!overlay.isNull() && !piece.isNull() && !area.isEmpty()) {
    // A plain copy: magenta in the piece stays transparent when the overlay
    // is stamped.
    QPainter painter(&overlay);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(area, piece);
  }
  if (!link) return;
  LinkRecord rec;
  rec.kind = "lnk";
  rec.x = area.x();
  rec.y = area.y();
  rec.width = area.width();
  rec.height = area.height();
  rec.target = valueParam(rt, 7);
  const std::string cursor = valueParam(rt, 8);
  rec.cursor = parseIntOr(cursor.empty() ? "1" : cursor, 0);
  rt.state.links.add(kViewerActive ? LinkGroup::Screen : LinkGroup::Viewer, std::move(rec));
}

void hud(Runtime& rt) {
  std::string& trace = rt.interp.trace;
  DecorationState& d = decorationState(rt);
  const std::string p1 = valueParam(rt, 1);
  if (p1.empty()) return stampOverlay(rt);
  if (p1 == "off") return void(d.overlayOn = false);
  if (p1 == "on") {
    trace += "on";
    d.overlayOn = true;
    return stampOverlay(rt);
  }
  if (p1 == "fig" || p1 == "lnk") return overlayPiece(rt, p1 == "lnk");
  if (inGraphicsFolder(rt, p1)) loadPicture(rt, p1, Surface::Hud);
  if (rt.state.modelo != "1") return;
  if (!rt.form1 || rt.form1->Hud->picture().isNull()) return void(trace += " <--- n\xE3o tem arquivo hud instalado");
  d.overlayX = parseIntOr(valueParam(rt, 2), 0);
  d.overlayY = parseIntOr(valueParam(rt, 3), 0);
  trace += intToText(d.overlayX) + "," + intToText(d.overlayY);
}

// ------------------------------------------------------------------- shape

// The back buffer of the current model that shapes, scrolls and mirrors
// work on, with its style; null in models without one.
struct WorkSurface {
  QImage* image = nullptr;
  CanvasStyle* canvas = nullptr;
  QSize defaultSize;
};

WorkSurface workSurface(Runtime& rt) {
  const std::string& model = rt.state.modelo;
  TForm1* w = rt.form1;
  TForm10* m = rt.monitor;
  if (model == "4" && m) return {&m->monitorBuffer, &m->monitorCanvas, m->Monitor->size()};
  if (model == "1" && w) return {&w->screenBuffer, &w->screenCanvas, w->Tela->size()};
  if (model == "3" && w) return {&w->TelMod3->picture(), &w->TelMod3->canvas, w->Tela3->size()};
  return {};
}

void shape(Runtime& rt) {
  std::string& trace = rt.interp.trace;
  const std::string p1 = valueParam(rt, 1);
  trace += p1;
  if (p1.empty()) return void(trace += " <--- informe nome do shape/texto");
  const GameState& s = rt.state;
  const double scale = s.scale;
  const bool onScreen = s.modelo == "1" || s.modelo == "4";
  WorkSurface surface = onScreen ? workSurface(rt) : WorkSurface{};
  LinkRecord rec;
  rec.x = scaled(parseIntOr(valueParam(rt, 2), 0), scale);
  rec.y = scaled(parseIntOr(valueParam(rt, 3), 0), scale);
  if (namesPicture(p1)) {
    if (!inGraphicsFolder(rt, p1)) return void(trace += " <--- arquivo inexistente!");
    loadPicture(rt, p1, Surface::BufShp);
    const QImage picture = rt.form1 ? rt.form1->BufShp->picture() : QImage();
    rec.width = scaled(parseIntOr(valueParam(rt, 4), picture.width()), scale);
    rec.height = scaled(parseIntOr(valueParam(rt, 5), picture.height()), scale);
    if (surface.image) drawTransparent(*surface.image, picture, QRect(rec.x, rec.y, rec.width, rec.height));
  } else {
    const QFont font = surface.canvas ? surface.canvas->font : generalFont(rt);
    const QString shown = text::toQString(p1);
    const QFontMetrics metrics(font);
    rec.width = metrics.horizontalAdvance(shown);
    rec.height = metrics.height();
    if (surface.image && !surface.image->isNull()) {
      QPainter painter(surface.image);
      painter.setFont(font);
      painter.setPen(surface.canvas->fontColour);
      painter.drawText(QRect(rec.x, rec.y, rec.width, rec.height), Qt::AlignLeft | Qt::AlignTop, shown);
      if (!valueParam(rt, 6).empty()) {
        // Flat ends: the line stops where the text does.
        painter.setPen(QPen(surface.canvas->fontColour, scaled(s.text.linkLineSize, scale), Qt::SolidLine, Qt::FlatCap));
        const int underline = rec.y + rec.height - 6 + scaled(s.text.underlineOffset, scale);
        painter.drawLine(rec.x, underline, rec.x + rec.width, underline);
      }
    }
  }
  rec.target = valueParam(rt, 6);
  if (rec.target.empty()) return;
  rec.picture = p1;
  rec.pressedPicture = valueParam(rt, 7);
  rec.cursor = 1;
  rt.state.links.add(LinkGroup::Screen, std::move(rec));
}

// ---------------------------------------------------------- scroll and flip

// Copies a block of the image to another place in it; the source is read
// whole before anything is written, so overlapping moves come out right.
void moveBlock(QImage& image, const QRect& from, QPoint to) {
  const QRect source = from.intersected(image.rect());
  if (source.isEmpty()) return;
  const QImage block = image.copy(source);
  QPainter painter(&image);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.drawImage(to + (source.topLeft() - from.topLeft()), block);
}

void fill(QImage& image, const QRect& area, QColor colour) {
  if (area.width() <= 0 || area.height() <= 0) return;
  QPainter painter(&image);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.fillRect(area, colour);
}

struct ScrollRegion {
  int x, y, w, h, step;
};

void shiftRegion(QImage& image, const std::string& direction, const ScrollRegion& r, bool rolling, QColor colour) {
  if (image.isNull()) return;
  const int x = r.x, y = r.y, w = r.w, h = r.h, s = r.step;
  if (direction == "up") {
    // Rolling brings the top strip back at the bottom.
    const QRect top = QRect(x, y, w, s).intersected(image.rect());
    const QImage saved = rolling ? image.copy(top) : QImage();
    moveBlock(image, QRect(x, y + s, w, h - s), QPoint(x, y));
    fill(image, QRect(x, y + h - s, w, s), colour);
    if (!rolling || saved.isNull()) return;
    QPainter painter(&image);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(top.topLeft() + QPoint(0, h - s), saved);
  } else if (direction == "down") {
    moveBlock(image, QRect(x, y, w, h - s), QPoint(x, y + s));
    fill(image, QRect(x, y, w, s), colour);
  } else if (direction == "left") {
    moveBlock(image, QRect(x + s, y, w - s, h), QPoint(x, y));
    fill(image, QRect(x + w - s, y, s, h), colour);
  } else if (direction == "right") {
    moveBlock(image, QRect(x, y, w - s, h), QPoint(x + s, y));
    fill(image, QRect(x, y, s, h), colour);
  }
}

void scrollRegion(Runtime& rt, bool rolling) {
  DecorationState& d = decorationState(rt);
  d.rolling = rolling;
  std::array<std::string, 6> p;
  for (int i = 1; i <= 6; ++i) p[static_cast<size_t>(i - 1)] = valueParam(rt, i);
  rt.interp.trace += p[0] + "," + p[1] + "," + p[2] + "," + p[3] + "," + p[4] + "," + p[5];
  const std::string direction = p[0].empty() ? "up" : p[0];
  const GameState& s = rt.state;
  const bool monitor = s.modelo == "4";
  const double scale = monitor ? s.scale : 1.0;
  WorkSurface surface = workSurface(rt);
  ScrollRegion r{};
  r.x = scaled(parseIntOr(p[1], 0), scale);
  r.y = scaled(parseIntOr(p[2], 0), scale);
  // A defaulted size is the surface's own, already in its pixels.
  const auto width = text::parseInt(p[3]), height = text::parseInt(p[4]);
  r.w = width ? scaled(*width, scale) : surface.defaultSize.width();
  r.h = height ? scaled(*height, scale) : surface.defaultSize.height();
  int step = parseIntOr(p[5], 0);
  if (step == 0) step = s.text.fontSize + s.text.fontSize / 2;
  r.step = scaled(step, scale);
  const QColor colour = backgroundColour(rt);
  if (surface.image) shiftRegion(*surface.image, direction, r, d.rolling, colour);
  TForm1* w = rt.form1;
  if (w && mapPageShows(*w)) {
    shiftRegion(w->MapJog->picture(), direction, r, d.rolling, colour);
    w->MapJog->update();
  }
}

void scroll(Runtime& rt) { scrollRegion(rt, false); }
void rollon(Runtime& rt) { scrollRegion(rt, true); }

void flip(Runtime& rt) {
  const std::string p1 = valueParam(rt, 1);
  rt.interp.trace += p1;
  const std::string word = p1.empty() ? "horizontal" : p1;
  const bool horizontal = word == "horizontal";
  if (!horizontal && word != "vertical") return;
  auto mirror = [&](QImage& image) {
    if (!image.isNull()) image = image.mirrored(horizontal, !horizontal);
  };
  if (QImage* image = workSurface(rt).image) mirror(*image);
  TForm1* w = rt.form1;
  if (w && mapPageShows(*w)) {
    mirror(w->MapJog->picture());
    w->MapJog->update();
  }
}

const CommandEntry kCommands[] = {
    {"legenda=", subtitle}, {"subtitle=", subtitle}, {"hud=", hud},       {"shape=", shape},
    {"shape", shape},       {"scroll", scroll},      {"rollon", rollon}, {"flip", flip},
};

}  // namespace

void registerDecorationCommands(CommandTable& table) { table.add(kCommands); }

}  // namespace corvant
