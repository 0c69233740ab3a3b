#include "presentation/layout.h"

#include <QBitmap>
#include <QPainter>
#include <QRegion>
#include <QScreen>

#include "engine/linesyntax.h"
#include "engine/scripterror.h"
#include "presentation/htmlpage.h"
#include "presentation/htmlview.h"
#include "presentation/mainwindow.h"
#include "presentation/pictures.h"
#include "runtime/runtime.h"
#include "text/cp1252.h"
#include "text/numbers.h"
#include "windows/monitorwindow.h"

namespace corvant {

int viewportPageFor(const std::string& model) {
  if (model == "0") return TForm1::Page0;
  if (model == "2") return TForm1::Page2;
  if (model == "3") return TForm1::Page3;
  return TForm1::Page1;
}

std::optional<QColor> tryColour(const std::string& colourString) {
  try {
    return QColor::fromRgb(colourToRgb(colourValue(colourString)));
  } catch (const ScriptError&) {
    return std::nullopt;
  }
}

QColor colourOr(const std::string& colourString, QColor fallback) {
  if (colourString.empty()) return fallback;
  return tryColour(colourString).value_or(fallback);
}

QColor backgroundColour(const Runtime& rt) { return colourOr(rt.state.text.backgroundColour, Qt::black); }
QColor textColour(const Runtime& rt) { return colourOr(rt.state.text.textColour, Qt::white); }

QFont generalFont(const Runtime& rt) {
  const TextSettings& t = rt.state.text;
  QFont f(text::toQString(t.fontFace));
  if (t.fontSize > 0) f.setPointSize(t.fontSize);
  f.setBold(t.bold);
  f.setItalic(t.italic);
  f.setUnderline(t.underline);
  return f;
}

void loadTextSettings(Runtime& rt, LinkColours links) {
  const ConfigList& c = rt.state.config;
  TextSettings& t = rt.state.text;
  t.fontFace = c.at(15);
  t.fontSize = text::parseIntOr(c.at(16), 12);
  const std::string& style = c.at(67);
  t.bold = style.size() > 0 && style[0] == 'B';
  t.italic = style.size() > 1 && style[1] == 'I';
  t.underline = style.size() > 2 && style[2] == 'U';
  t.backgroundColour = c.at(18);
  t.textColour = c.at(19);
  if (links == LinkColours::Keep) return;
  t.linkColour = c.at(20);
  t.visitedColour = c.at(21);
}

void applyStyleFlags(QFont& font, const std::string& flags) {
  auto at = [&](size_t i, char c) { return flags.size() > i && flags[i] == c; };
  font.setBold(at(0, 'B'));
  font.setItalic(at(1, 'I'));
  font.setUnderline(at(2, 'U'));
}

int LayoutReader::number(int index, int fallback) {
  const std::string& v = rt_.state.config.at(index);
  if (auto n = text::parseInt(v)) return *n;
  // An empty line is a value the game does not use; only a wrong one is worth
  // a message.
  if (v.empty()) return fallback;
  problems_.push_back("line " + std::to_string(index + 1) + ": '" + v + "' is not a whole number; using " +
                      std::to_string(fallback));
  return fallback;
}

QColor LayoutReader::colour(int index, QColor fallback) {
  const std::string& v = rt_.state.config.at(index);
  if (v.empty()) return fallback;
  if (auto c = tryColour(v)) return *c;
  problems_.push_back("line " + std::to_string(index + 1) + ": '" + v + "' is not a colour (RRGGBB)");
  return fallback;
}

QFont LayoutReader::font(int nameIndex, int sizeIndex, int styleIndex) {
  QFont f(text::toQString(rt_.state.config.at(nameIndex)));
  const int size = number(sizeIndex, 10);
  if (size > 0) f.setPointSize(size);
  applyStyleFlags(f, rt_.state.config.at(styleIndex));
  return f;
}

namespace {

void setPalette(QWidget* w, QColor background, QColor text = QColor()) {
  QPalette p = w->palette();
  p.setColor(QPalette::Window, background);
  p.setColor(QPalette::Base, background);
  if (text.isValid()) {
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Text, text);
  }
  w->setPalette(p);
  w->setAutoFillBackground(true);
}

QImage filled(QSize size, QColor colour) {
  QImage image(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
  image.fill(colour);
  return image;
}

void setCanvas(CanvasStyle& c, QColor brush, const QFont& font, QColor text) {
  c.brush = brush;
  c.font = font;
  c.fontColour = c.pen = text;
}

// Lines 27 and 28 are relative to the viewport (22, 23) unless line 88 says
// the strip is placed absolutely.
void placeMessageStrip(LayoutReader& in, const ConfigList& c, TForm1& w) {
  const bool absolute = c.isOn(88);
  w.Msg->setGeometry(in.number(27, 0) + (absolute ? 0 : in.number(22, 0)),
                     in.number(28, 0) + (absolute ? 0 : in.number(23, 0)), in.number(29, 0), in.number(30, 0));
}

}  // namespace

// Magenta pixels of the window's background picture are cut out of the
// window.
void shapeWindow(TForm1& w) {
  const QImage& picture = w.Imp->picture();
  if (picture.isNull()) return;
  const QImage mask = picture.convertToFormat(QImage::Format_RGB32).createMaskFromColor(0xFFFF00FF, Qt::MaskInColor);
  w.setMask(QRegion(QBitmap::fromImage(mask)));
}

std::vector<std::string> applyLayoutAtGameLoad(Runtime& rt, TForm1& w) {
  GameState& s = rt.state;
  const ConfigList& c = s.config;
  LayoutReader in(rt);

  loadTextSettings(rt, LinkColours::Load);
  // Window and background.
  const QColor background = in.colour(18);
  const QColor foreground = in.colour(19, Qt::white);
  const QSize windowSize(in.number(11, 900), in.number(12, 420));
  w.resize(windowSize);
  w.Abok0->setGeometry(QRect(QPoint(0, 0), windowSize));
  w.Imp->setGeometry(QRect(QPoint(0, 0), windowSize));
  w.Imp->setPicture(filled(windowSize, background));
  if (!c.at(cfg::kOpeningPicture).empty()) loadPicture(rt, c.at(cfg::kOpeningPicture), Surface::TelAber);
  if (!c.at(cfg::kWindowPicture).empty()) {
    w.Imp->setPicture(QImage());
    loadPicture(rt, c.at(cfg::kWindowPicture), Surface::Imp);
    if (!c.isOn(93)) shapeWindow(w);
  }
  const QFont general = in.font(15, 16, 67);
  s.vocabularyScript = c.at(cfg::kVocabularyScript);

  // Viewport and the text-mode page.
  w.Abok1->setGeometry(in.number(22, 0), in.number(23, 0), in.number(24, 640), in.number(25, 300));
  setPalette(w.Abok1, background);
  s.modelo = c.at(cfg::kScreenModel);
  w.Abok1->setCurrentIndex(viewportPageFor(s.modelo));
  w.Abok1->setCurrentIndex(TForm1::Page0);
  w.MsgMd0->setGeometry(5, 5, w.Abok1->width() - 10, w.Abok1->height() - 10);
  w.MsgMd0->setFont(in.font(32, 33, 57));
  setPalette(w.MsgMd0, background, in.colour(34, foreground));

  // Message strip.
  placeMessageStrip(in, c, w);
  w.Msg->setFont(general);
  setPalette(w.Msg, background, foreground);
  w.Msg->setVisible(c.isOn(35));

  // Picture screen and its back buffer.
  const QSize screen(in.number(58, 640), in.number(59, 300));
  w.PanTel->setGeometry(QRect(QPoint(0, 0), screen));
  setPalette(w.PanTel, background);
  w.Tela->setGeometry(QRect(QPoint(0, 0), screen));
  w.Tela->setPicture(filled(screen, background));
  w.screenBuffer = filled(screen, background);
  setCanvas(w.Tela->canvas, background, general, foreground);
  setCanvas(w.screenCanvas, background, general, foreground);
  if (s.modelo == "4") w.Abok1->resize(screen);

  // HTML page, scrolling page and map page.
  w.WebB->setGeometry(0, 0, in.number(51, 640) + 20, in.number(52, 300) + 4);
  w.Sbox2->setGeometry(0, 0, in.number(49, 640), in.number(50, 300));
  const QSize page3(in.number(49, 640) - 21, in.number(50, 300) - 10);
  w.TelMod3->setGeometry(5, 5, page3.width(), page3.height());
  w.TelMod3->setPicture(filled(page3, background));
  setCanvas(w.TelMod3->canvas, background, general, foreground);
  w.Sbc1->setGeometry(0, 0, in.number(96, 640), in.number(97, 300));
  w.MapJog->resize(w.Sbc1->size());

  // Command line.
  w.Input->setGeometry(in.number(36, 0), in.number(37, 0), in.number(38, 0), in.number(39, 0));
  QFont inputFont(text::toQString(c.at(41)));
  if (const int size = in.number(42, 10); size > 0) inputFont.setPointSize(size);
  applyStyleFlags(inputFont, c.at(68));
  w.Input->setFont(inputFont);
  setPalette(w.Input, in.colour(40, background), in.colour(43, foreground));
  w.Input->setVisible(c.isOn(44));

  // Command panel and its back buffer.
  const QRect panel(in.number(45, 0), in.number(46, 0), in.number(47, 0), in.number(48, 0));
  w.Abok2->setGeometry(panel);
  w.TelCmd->resize(panel.size());
  w.TelCmd->setPicture(filled(panel.size(), background));
  w.panelBuffer = filled(panel.size(), background);
  setCanvas(w.TelCmd->canvas, background, general, foreground);
  setCanvas(w.panelCanvas, background, general, foreground);
  w.Abok2->setVisible(c.isOn(53));

  // End button and its caption.
  w.btFim->move(in.number(64, 0), in.number(65, 0));
  if (!c.at(66).empty()) {
    loadPicture(rt, "U-" + c.at(66), Surface::BtFim);
    w.btFim->resize(w.btFim->picture().size());
    w.btFim->show();
  }
  w.lbFim->move(w.btFim->x() + w.btFim->width() + 2, w.btFim->y() + 3);
  QFont endFont(text::toQString(c.at(69)));
  if (const int size = in.number(70, 10); size > 0) endFont.setPointSize(size);
  w.lbFim->setFont(endFont);
  setPalette(w.lbFim, background, in.colour(71, foreground));
  w.lbFim->setAutoFillBackground(false);
  w.lbFim->setText(text::toQString(c.at(72)));
  w.lbFim->setVisible(!c.at(72).empty());

  if (s.modelo != "1") w.Msg->hide();
  w.Abok1->show();
  s.links.reset();
  return in.problems();
}

MonitorFit fitMonitor(int lw, int lh, int mw, int mh) {
  const double sx = static_cast<double>(mw) / lw, sy = static_cast<double>(mh) / lh;
  const double scale = sy > sx ? sx : sy;
  MonitorFit f{scale, static_cast<int>(lw * scale), static_cast<int>(lh * scale), 0, 0};
  f.left = (mw - f.width) / 2;
  f.top = (mh - f.height) / 2;
  return f;
}

namespace {

void commonModelStep(Runtime& rt, TForm1& w) {
  w.Input->clear();
  rt.state.scale = 1.0;
}

// Model "4": the main window gives way to the monitor, which shows the
// logical screen as large as it fits, between two letterbox bars.
void applyMonitorModel(Runtime& rt, TForm1& w, const MonitorRequest& r, QColor background, const QFont& general,
                       QColor textColour) {
  GameState& s = rt.state;
  TForm10* m = rt.monitor;
  s.logicalWidth = r.width.empty() ? 640 : text::parseIntOr(r.width, 640);
  s.logicalHeight = r.height.empty() ? 420 : text::parseIntOr(r.height, 420);
  // A malformed colour fails the command like any other colour parameter.
  const QColor letterbox = r.colour.empty() ? background : QColor::fromRgb(colourToRgb(colourValue(r.colour)));
  if (!m || s.logicalWidth <= 0 || s.logicalHeight <= 0) return;
  m->letterbox = letterbox;
  w.hide();
  // Without a window manager "maximised" means nothing: take the screen's
  // free area explicitly.
  if (const QScreen* screen = m->screen()) m->setGeometry(screen->availableGeometry());
  m->showMaximized();
  rt.pumpEvents();
  const int W = m->width(), H = m->height();
  const MonitorFit fit = fitMonitor(s.logicalWidth, s.logicalHeight, W, H);
  s.scale = fit.scale;
  m->PanMon->setGeometry(fit.left, fit.top, fit.width, fit.height);
  m->Monitor->setGeometry(0, 0, fit.width, fit.height);
  m->monitorBuffer = filled(QSize(fit.width, fit.height), background);
  m->Monitor->setPicture(filled(QSize(fit.width, fit.height), background));
  setPalette(m, background);
  setPalette(m->PanMon, background);
  QFont font = general;
  if (font.pointSize() > 0) font.setPointSize(static_cast<int>(font.pointSize() * fit.scale));
  setCanvas(m->monitorCanvas, background, font, textColour);
  if (fit.top > 0) {
    m->ShpTop->setGeometry(0, 0, W, fit.top);
    m->ShpBot->setGeometry(0, fit.top + fit.height, W, H - fit.top - fit.height);
  } else {
    m->ShpTop->setGeometry(0, 0, fit.left, H);
    m->ShpBot->setGeometry(fit.left + fit.width, 0, W - fit.left - fit.width, H);
  }
  m->paintBars();
  w.Abok1->setCurrentIndex(TForm1::Page1);
  w.Input->hide();
  m->margins = {static_cast<int>(5 * fit.scale), static_cast<int>(8 * fit.scale),
                fit.width - static_cast<int>(8 * fit.scale), 0};
  m->margins.bottom = fit.height - m->margins.top - static_cast<int>(5 * fit.scale);
  w.Msg->hide();
}

}  // namespace

void applyScreenModel(Runtime& rt, TForm1& w, const std::string& model, const MonitorRequest& monitor) {
  GameState& s = rt.state;
  const ConfigList& c = s.config;
  LayoutReader in(rt);
  const QColor background = in.colour(18);
  s.modelo = model;
  commonModelStep(rt, w);
  s.links.reset();
  w.Abok2->setVisible(c.isOn(53));
  const bool known = model == "0" || model == "1" || model == "2" || model == "3";
  if (known && rt.monitor && rt.monitor->isVisible()) {
    rt.monitor->hide();
    // The game comes back to the main window, which model "4" hid.
    w.show();
  }
  if (model == "0") {
    w.Abok1->setCurrentIndex(TForm1::Page0);
    w.Input->setVisible(c.isOn(44));
    w.Abok1->resize(in.number(24, 640), in.number(25, 300));
    w.MsgMd0->clear();
    setPalette(w.MsgMd0, background);
    s.textEffect = c.at(92);
    w.Msg->hide();
  } else if (model == "1") {
    w.Tela->canvas.brush = w.screenCanvas.brush = background;
    w.screenBuffer.fill(background);
    w.Msg->setVisible(c.isOn(35));
    w.Input->setVisible(c.isOn(44));
    w.Abok1->resize(in.number(58, 640), in.number(59, 300));
    w.Msg->clear();
    w.Abok1->setCurrentIndex(TForm1::Page1);
  } else if (model == "2") {
    w.Abok1->setCurrentIndex(TForm1::Page2);
    w.Input->hide();
    w.Abok1->resize(in.number(51, 640), in.number(52, 300));
    w.WebB->resize(w.Abok1->width() + 20, w.Abok1->height() + 4);
    w.Msg->hide();
    // The page starts empty in the background colour; the first run's text
    // goes below a fresh header.
    html::rebuildPage(s);
    w.showBlankPage();
    w.html->setFocus();
  } else if (model == "3") {
    w.Input->hide();
    w.Abok1->setCurrentIndex(TForm1::Page3);
    w.Abok1->resize(in.number(49, 640), in.number(50, 300));
    w.Sbox2->setGeometry(QRect(QPoint(0, 0), w.Abok1->size()));
    setPalette(w.Sbox2, background);
    const QSize page(w.Abok1->width() - 18, w.Abok1->height() - 10);
    w.TelMod3->setGeometry(QRect(QPoint(5, 5), page));
    w.TelMod3->setPicture(filled(page, background));
    setCanvas(w.TelMod3->canvas, background, generalFont(rt), textColour(rt));
    s.memoText.clear();
    s.pageWriteX = s.pageWriteY = 0;
    w.Sbox2->setFocus();
    w.Msg->hide();
  } else if (model == "4") {
    applyMonitorModel(rt, w, monitor, background, generalFont(rt), textColour(rt));
  }
  rt.pumpEvents();
  if (w.Input->isVisible()) w.Input->setFocus();
}

void autoRelayout(Runtime& rt, TForm1& w) {
  GameState& s = rt.state;
  const ConfigList& c = s.config;
  LayoutReader in(rt);
  const QColor background = in.colour(18);
  const int page = w.Abok1->currentIndex();
  if (page == TForm1::Page0) {
    w.Abok1->resize(in.number(24, 640), in.number(25, 300));
    if (s.textEffect != "scrollup") w.MsgMd0->clear();
    w.MsgMd0->setGeometry(5, 5, w.Abok1->width() - 10, w.Abok1->height() - 10);
    w.MsgMd0->setFont(in.font(32, 33, 57));
    setPalette(w.MsgMd0, background, in.colour(34, Qt::white));
    s.textEffect = c.at(92);
    w.Msg->hide();
  } else if (page == TForm1::Page1) {
    w.Msg->clear();
    placeMessageStrip(in, c, w);
    w.Abok1->resize(in.number(24, 640), in.number(25, 300));
    w.Msg->setFont(in.font(32, 33, 57));
    setPalette(w.Msg, in.colour(31, background), in.colour(34, Qt::white));
    w.Msg->setVisible(c.isOn(35));
    // The screen writes in the message strip's font from now on.
    w.Tela->setCursor(Qt::ArrowCursor);
    w.Tela->canvas.brush = w.screenCanvas.brush = background;
    w.Tela->canvas.font = w.screenCanvas.font = w.Msg->font();
    if (!c.at(89).empty()) loadPicture(rt, c.at(89), Surface::Tela);
  } else if (page == TForm1::Page2) {
    w.Input->hide();
    w.Abok1->resize(in.number(51, 640), in.number(52, 300));
    w.Msg->hide();
  } else if (page == TForm1::Page3) {
    w.Input->hide();
    w.Abok1->resize(in.number(49, 640), in.number(50, 300));
    const QSize pageSize(in.number(49, 640) - 21, in.number(50, 300) - 10);
    w.TelMod3->setGeometry(QRect(QPoint(5, 5), pageSize));
    setCanvas(w.TelMod3->canvas, background, generalFont(rt), textColour(rt));
    s.pageWriteX = s.pageWriteY = 0;
    w.Msg->hide();
    s.memoText.clear();
  }
  // Every page: the command panel and the command line.
  const QRect panel(in.number(45, 0), in.number(46, 0), in.number(47, 0), in.number(48, 0));
  const QColor panelColour = in.colour(94, background);
  w.Abok2->setGeometry(panel);
  w.TelCmd->resize(panel.size());
  w.TelCmd->setPicture(filled(panel.size(), panelColour));
  w.panelBuffer = filled(panel.size(), panelColour);
  setCanvas(w.TelCmd->canvas, panelColour, in.font(15, 16, 67), in.colour(19, Qt::white));
  w.panelCanvas = w.TelCmd->canvas;
  w.Abok2->setVisible(c.isOn(53));
  if (!c.at(109).empty()) loadPicture(rt, c.at(109), Surface::TelCmd);
  w.Input->setGeometry(in.number(36, 0), in.number(37, 0), in.number(38, 0), in.number(39, 0));
  w.Input->clear();
  if (s.modelo == "0" || s.modelo == "1") w.Input->setVisible(c.isOn(44));
}

}  // namespace corvant
