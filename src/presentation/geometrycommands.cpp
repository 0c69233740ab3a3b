// Geometry and appearance of the main window's parts: deftel, defvis,
// defcmd, deffnc, the message strip's bars, the panel and screen canvases,
// focus, the monitor's letterbox and the model 3 page length.
#include <QPainter>
#include <QScrollBar>

#include <array>
#include <optional>

#include "engine/commandtable.h"
#include "engine/linesyntax.h"
#include "engine/params.h"
#include "engine/scripterror.h"
#include "presentation/htmlview.h"
#include "presentation/layout.h"
#include "presentation/mainwindow.h"
#include "runtime/runtime.h"
#include "text/cp1252.h"
#include "text/numbers.h"
#include "windows/monitorwindow.h"

namespace corvant {
namespace {

// A colour parameter that must be well formed: a bad one fails the run.
QColor colourParam(const std::string& s) { return QColor::fromRgb(colourToRgb(colourValue(s))); }

void setWidgetColours(QWidget* w, std::optional<QColor> background, std::optional<QColor> text) {
  QPalette p = w->palette();
  if (background) {
    p.setColor(QPalette::Window, *background);
    p.setColor(QPalette::Base, *background);
    w->setAutoFillBackground(true);
  }
  if (text) {
    p.setColor(QPalette::WindowText, *text);
    p.setColor(QPalette::Text, *text);
  }
  w->setPalette(p);
}

// The nine parameters of the geometry commands, all substituted.
struct GeometryParams {
  std::array<std::string, 9> p;
  const std::string& operator[](int n) const { return p[static_cast<size_t>(n - 1)]; }
  std::optional<int> number(int n) const {
    if ((*this)[n].empty()) return std::nullopt;
    return text::parseInt((*this)[n]);
  }
  std::optional<QColor> colour(int n) const {
    if ((*this)[n].empty()) return std::nullopt;
    return tryColour((*this)[n]);
  }
};

GeometryParams readGeometry(Runtime& rt) {
  GeometryParams g;
  for (int i = 1; i <= 9; ++i) g.p[static_cast<size_t>(i - 1)] = valueParam(rt, i);
  return g;
}

// "off" and "on" only hide or show the target. True when that was all.
bool visibilityOnly(const GeometryParams& g, QWidget* target) {
  if (g[1] == "off") return target->hide(), true;
  if (g[1] == "on") return target->show(), true;
  return false;
}

// Left, top, width and height, each skipped when empty or not a number.
void applyRect(const GeometryParams& g, QWidget* target) {
  if (auto v = g.number(1)) target->move(*v, target->y());
  if (auto v = g.number(2)) target->move(target->x(), *v);
  if (auto v = g.number(3)) target->resize(*v, target->height());
  if (auto v = g.number(4)) target->resize(target->width(), *v);
}

// A bitmap that takes a new size keeps what it held in the top-left corner.
void resizeBitmap(QImage& image, QSize size, QColor fill) {
  size = size.expandedTo(QSize(1, 1));
  if (image.size() == size) return;
  QImage grown(size, QImage::Format_RGB32);
  grown.fill(fill);
  if (!image.isNull()) QPainter(&grown).drawImage(0, 0, image);
  image = grown;
}

// Font name, colours and style shared by a surface and its back buffer.
void applyCanvas(const GeometryParams& g, std::initializer_list<CanvasStyle*> canvases) {
  for (CanvasStyle* c : canvases) {
    if (!g[5].empty()) c->font.setFamily(text::toQString(g[5]));
    if (auto colour = g.colour(6)) c->fontColour = c->pen = *colour;
    if (auto colour = g.colour(7)) c->brush = *colour;
    if (!g[8].empty()) applyStyleFlags(c->font, g[8]);
  }
}

void applyFontSize(const GeometryParams& g, std::initializer_list<CanvasStyle*> canvases) {
  const auto size = g.number(9);
  if (!size || *size <= 0) return;
  for (CanvasStyle* c : canvases) c->font.setPointSize(*size);
}

// Font and colours of an ordinary component.
void applyWidgetLook(const GeometryParams& g, QWidget* target, bool clearTextFirst) {
  QFont font = target->font();
  if (!g[5].empty()) font.setFamily(text::toQString(g[5]));
  if (!g[8].empty()) applyStyleFlags(font, g[8]);
  setWidgetColours(target, g.colour(7), g.colour(6));
  if (clearTextFirst) {
    if (auto* line = qobject_cast<QLineEdit*>(target)) line->clear();
  }
  if (auto size = g.number(9); size && *size > 0) font.setPointSize(*size);
  target->setFont(font);
}

void deftel(Runtime& rt) {
  TForm1* w = rt.form1;
  if (!w) return;
  const GeometryParams g = readGeometry(rt);
  if (visibilityOnly(g, w->Tela)) return;
  applyRect(g, w->Tela);
  if (g.number(3) || g.number(4)) {
    resizeBitmap(w->screenBuffer, w->Tela->size(), w->screenCanvas.brush);
    resizeBitmap(w->Tela->picture(), w->Tela->size(), w->Tela->canvas.brush);
  }
  applyCanvas(g, {&w->Tela->canvas, &w->screenCanvas});
  w->screenBuffer.fill(w->screenCanvas.brush);
  w->Tela->picture().fill(w->Tela->canvas.brush);
  // Without a font size the screen is hidden: a game sets the size when it
  // wants the screen to stay.
  w->Tela->setVisible(!g[9].empty());
  applyFontSize(g, {&w->Tela->canvas, &w->screenCanvas});
  w->Tela->update();
}

void defvis(Runtime& rt) {
  TForm1* w = rt.form1;
  if (!w) return;
  const GeometryParams g = readGeometry(rt);
  if (visibilityOnly(g, w->Abok1)) return;
  applyRect(g, w->Abok1);
  applyWidgetLook(g, w->Abok1, false);
}

void defcmd(Runtime& rt) {
  TForm1* w = rt.form1;
  if (!w) return;
  const GeometryParams g = readGeometry(rt);
  if (visibilityOnly(g, w->Input)) return;
  applyRect(g, w->Input);
  applyWidgetLook(g, w->Input, true);
}

void deffnc(Runtime& rt) {
  TForm1* w = rt.form1;
  if (!w) return;
  const GeometryParams g = readGeometry(rt);
  if (visibilityOnly(g, w->Abok2)) return;
  applyRect(g, w->Abok2);
  if (g.number(3) || g.number(4)) {
    w->TelCmd->resize(w->Abok2->size());
    resizeBitmap(w->TelCmd->picture(), w->Abok2->size(), w->TelCmd->canvas.brush);
    resizeBitmap(w->panelBuffer, w->Abok2->size(), w->panelCanvas.brush);
  }
  applyWidgetLook(g, w->Abok2, false);
  applyCanvas(g, {&w->TelCmd->canvas, &w->panelCanvas});
  w->TelCmd->picture().fill(w->TelCmd->canvas.brush);
  w->panelBuffer.fill(w->panelCanvas.brush);
  applyFontSize(g, {&w->TelCmd->canvas, &w->panelCanvas});
  w->TelCmd->update();
}

// The bar above the model 0 memo. Each "on" takes another 20 pixels from
// the memo, so two in a row shrink it twice.
void barratop(Runtime& rt) {
  TForm1* w = rt.form1;
  const std::string p1 = valueParam(rt, 1);
  rt.interp.trace += p1;
  if (!w) return;
  QPlainTextEdit* memo = w->MsgMd0;
  if (p1 == "off") {
    memo->setGeometry(memo->x(), 5, memo->width(), memo->height() + 20);
    return;
  }
  memo->setGeometry(memo->x(), 20, memo->width(), memo->height() - 20);
  w->BarraTop->setGeometry(w->BarraTop->x(), w->BarraTop->y(), memo->width(), w->BarraTop->height());
  setWidgetColours(w->BarraTop, w->Input->palette().color(QPalette::Base), std::nullopt);
}

void msgbar(Runtime& rt) {
  TForm1* w = rt.form1;
  if (!w) return;
  const std::string p1 = valueParam(rt, 1);
  const bool horizontal = p1 == "hrz" || p1 == "both", vertical = p1 == "vrt" || p1 == "both";
  w->Msg->setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
  w->Msg->setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}

void borda4(Runtime& rt) {
  const std::string p1 = valueParam(rt, 1);
  const QColor colour = p1.empty() ? backgroundColour(rt) : colourParam(p1);
  if (!rt.monitor) return;
  rt.monitor->letterbox = colour;
  rt.monitor->paintBars();
}

void fncfnd(Runtime& rt) {
  const std::string p1 = valueParam(rt, 1);
  const QColor colour = p1.empty() ? colourOr(rt.state.config.at(94), backgroundColour(rt)) : colourParam(p1);
  if (rt.form1) setWidgetColours(rt.form1->Abok2, colour, std::nullopt);
}

void fnctxt(Runtime& rt) {
  const std::string p1 = valueParam(rt, 1);
  const QColor colour = p1.empty() ? colourOr(rt.state.config.at(19), Qt::white) : colourParam(p1);
  if (rt.form1) setWidgetColours(rt.form1->Abok2, std::nullopt, colour);
}

// The screen back buffer's canvas alone: the next drawing and text use it.
void telacorfnd(Runtime& rt) {
  const QColor colour = colourParam(valueParam(rt, 1));
  if (rt.form1) rt.form1->screenCanvas.brush = colour;
}
void telacortxt(Runtime& rt) {
  const QColor colour = colourParam(valueParam(rt, 1));
  if (rt.form1) rt.form1->screenCanvas.fontColour = colour;
}
void telafntnome(Runtime& rt) {
  if (rt.form1) rt.form1->screenCanvas.font.setFamily(text::toQString(valueParam(rt, 1)));
}
void telafntalt(Runtime& rt) {
  const std::string p1 = valueParam(rt, 1);
  const auto size = text::parseInt(p1);
  if (!size) throw ScriptError("'" + p1 + "' is not a valid integer value");
  if (rt.form1 && *size > 0) rt.form1->screenCanvas.font.setPointSize(*size);
}

void setfoco(Runtime& rt) {
  const std::string p1 = valueParam(rt, 1);
  rt.interp.trace += p1;
  TForm1* w = rt.form1;
  if (!w) return;
  w->activateWindow();
  w->raise();
  if (p1 == "web") {
    w->html->waitUntilLoaded();
    w->html->setFocus();
  } else if (p1 == "inp") {
    w->Input->setFocus();
  } else if (p1 == "fnc") {
    w->Abok2->raise();
  } else if (p1 == "vsr") {
    w->Abok1->raise();
  } else if (p1 == "msg" && rt.state.modelo == "0") {
    w->MsgMd0->setFocus();
  }
}

// The length of the model 3 page.
void altura(Runtime& rt) {
  TForm1* w = rt.form1;
  if (!w) return;
  const int fallback = w->Sbox2->height() - 10;
  const int height = std::max(1, text::parseIntOr(valueParam(rt, 1), fallback));
  rt.interp.trace += std::to_string(height);
  w->TelMod3->resize(w->TelMod3->width(), height);
  QImage& page = w->TelMod3->picture();
  QImage resized(std::max(1, page.isNull() ? w->TelMod3->width() : page.width()), height, QImage::Format_RGB32);
  resized.fill(w->TelMod3->canvas.brush);
  if (!page.isNull()) QPainter(&resized).drawImage(0, 0, page);
  w->TelMod3->setPicture(resized);
}

const CommandEntry kCommands[] = {
    {"deftel=", deftel},         {"deftel", deftel},           {"deftela=", deftel},       {"deftela", deftel},
    {"defvis=", defvis},         {"defvis", defvis},           {"defcmd=", defcmd},        {"defcmd", defcmd},
    {"deffnc=", deffnc},         {"deffnc", deffnc},           {"barratop", barratop},     {"msgbar=", msgbar},
    {"borda4=", borda4},         {"border4=", borda4},         {"fncfnd=", fncfnd},        {"fnctxt=", fnctxt},
    {"telacorfnd=", telacorfnd}, {"telacortxt=", telacortxt}, {"telafntnome=", telafntnome},
    {"telafntalt=", telafntalt}, {"setfoco=", setfoco},       {"altura=", altura},
};

}  // namespace

void registerGeometryCommands(CommandTable& table) { table.add(kCommands); }

}  // namespace corvant
