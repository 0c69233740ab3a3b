// Composing pictures: display=, tela=, the clears, refresh and the buffers.
#include <QPainter>

#include <optional>

#include "engine/commandtable.h"
#include "engine/driver.h"
#include "engine/linesyntax.h"
#include "engine/params.h"
#include "engine/scripterror.h"
#include "engine/scriptfiles.h"
#include "imaging/picture.h"
#include "imaging/picturecache.h"
#include "presentation/layout.h"
#include "presentation/mainwindow.h"
#include "presentation/pictures.h"
#include "presentation/textbox.h"
#include "runtime/files.h"
#include "runtime/runtime.h"
#include "text/cp1252.h"
#include "text/numbers.h"
#include "text/strings.h"
#include "windows/backdrop.h"
#include "windows/monitorwindow.h"

namespace corvant {
namespace {

using text::parseIntOr;

QString graphicsPath(const Runtime& rt, const std::string& name) {
  return files::join(rt.state.paths.graphicsFolder, name);
}

void fillRect(QImage& image, const QRect& r, QColor colour) {
  if (image.isNull()) return;
  QPainter(&image).fillRect(r, colour);
}

// Model "2" shows pictures as image lines of the HTML page.
void addPagePicture(Runtime& rt, const std::string& file, int width, int height, const std::string& align) {
  TForm1* w = rt.form1;
  loadPicture(rt, file, Surface::BufShp);
  const QSize own = w ? w->BufShp->picture().size() : QSize();
  std::string line = "<img src=" + rt.state.paths.fileBase + file + " width=" + std::to_string(width > 0 ? width : own.width()) +
                     " height=" + std::to_string(height > 0 ? height : own.height()) + " border=0 ";
  if (align == "left" || align == "right") line += "align=" + align;
  if (align == "center") line = "<div align=center>" + line + "></div";
  rt.state.pageBuffer.push_back(line + ">");
  rt.interp.trace += "," + std::to_string(width > 0 ? width : own.width()) + "," +
                     std::to_string(height > 0 ? height : own.height()) + "," + align + "," + valueParam(rt, 8) + "," +
                     valueParam(rt, 9);
}

void displayPicture(Runtime& rt, const std::string& file) {
  std::string& trace = rt.interp.trace;
  if (!files::exists(graphicsPath(rt, file))) return void(trace += file + " <--- arquivo inexistente!");
  trace += file;
  const std::string where = valueParam(rt, 2);
  if (where != "tel" && where != "fnc" && where != "pan" && where != "map")
    return void(trace += "," + where + " <--- n\xE3o indicou o local tel/fnc/tel!");
  const int x = parseIntOr(valueParam(rt, 3), 0), y = parseIntOr(valueParam(rt, 4), 0);
  trace += "," + where + "," + std::to_string(x) + "," + std::to_string(y);
  const int width = parseIntOr(valueParam(rt, 5), 0), height = parseIntOr(valueParam(rt, 6), 0);
  const GameState& s = rt.state;
  const std::string& model = s.modelo;
  if (model == "2" && where == "tel") return addPagePicture(rt, file, width, height, valueParam(rt, 7));
  QSize drawn;
  if (where == "tel") {
    if (model == "1") drawn = drawPictureFile(rt, file, x, y, width, height, Surface::Tela);
    else if (model == "3")
      drawn = drawPictureFile(rt, file, x + s.pageWriteX, y + s.pageWriteY, width, height, Surface::TelMod3);
  } else if (where == "fnc") {
    drawn = drawPictureFile(rt, file, x, y, width, height, Surface::TelCmd);
  } else if (where == "pan") {
    drawn = drawPictureFile(rt, file, x, y, width, height, Surface::Imp);
  } else {
    drawn = drawPictureFile(rt, file, x, y, width, height, Surface::MapJog);
  }
  trace += "," + std::to_string(width > 0 ? width : drawn.width()) + "," +
           std::to_string(height > 0 ? height : drawn.height());
}

// display= leaves its text size for the next display='s default height.
int currentTextSize(const Runtime& rt) { return rt.state.textSize; }
void setCurrentTextSize(Runtime& rt, int size) { rt.state.textSize = size; }

// Model "2": the text as one styled line of the HTML page.
void addPageText(Runtime& rt, const std::string& text, int size, const std::string& colour, const std::string& style) {
  auto at = [&](size_t i, char c) { return style.size() > i && style[i] == c; };
  const bool bold = at(0, 'B'), italic = at(1, 'I'), underline = at(2, 'U');
  std::string line =
      "<font face=" + rt.state.text.fontFace + " color=#" + colour + " style=" + std::to_string(size) + "px; ";
  if (bold) line += "<b>";
  if (italic) line += "<em>";
  if (underline) line += "<u>";
  line += text;
  if (underline) line += "</u>";
  if (italic) line += "</em>";
  if (bold) line += "</b>";
  rt.state.pageBuffer.push_back(line + "</font>");
}

// A caption: a text box on the screen, the page, the panel, the window
// background or the map.
void displayText(Runtime& rt) {
  GameState& s = rt.state;
  const std::string& model = s.modelo;
  std::string& trace = rt.interp.trace;
  std::string text;
  if (rt.interp.P(1) == "$") text = model == "1" ? s.textBuffer : s.memoText;
  else text = substituteMarker(kMarkerComma, substituteMarker(kMarkerBlank, valueParam(rt, 1), model), model);
  if (text.empty()) return void(trace += " <--- texto/frase inexistente!");
  trace += text.substr(0, 5);
  const std::string where = valueParam(rt, 2);
  if (where != "tel" && where != "fnc" && where != "pan" && where != "map")
    return void(trace += "," + where + " <--- n\xE3o indicou o local tel/fnc/tel!");
  const int x = parseIntOr(valueParam(rt, 3), 0), y = parseIntOr(valueParam(rt, 4), 0);
  trace += "," + where + "," + std::to_string(x) + "," + std::to_string(y);

  TForm1* w = rt.form1;
  int width = parseIntOr(valueParam(rt, 5), 0);
  if (width == 0 && w) {
    if (where == "tel" && model == "3") width = w->TelMod3->picture().width() - s.pageWriteX;
    else if (where == "tel" && model == "1") width = w->screenBuffer.width();
    else if (where == "fnc") width = w->panelBuffer.width();
    else if (where == "pan") width = w->Imp->width();
  }
  int height = parseIntOr(valueParam(rt, 6), 0);
  if (height == 0) height = currentTextSize(rt);
  const int size = parseIntOr(valueParam(rt, 7), s.text.fontSize);
  setCurrentTextSize(rt, size);
  std::string colour = valueParam(rt, 8), style = valueParam(rt, 9);
  if (colour.empty()) colour = s.text.textColour;
  if (style.empty()) style = "biu";

  if (model == "2" && where == "tel") return addPageText(rt, text, size, colour, style);
  std::optional<TextBoxTarget> target;
  if (where == "tel" && model == "1") target = TextBoxTarget::Tela;
  else if (where == "tel" && model == "3") target = TextBoxTarget::TelMod3;
  else if (where == "fnc") target = TextBoxTarget::TelCmd;
  else if (where == "pan") target = TextBoxTarget::Imp;
  else if (where == "map") target = TextBoxTarget::MapJog;
  if (target) drawTextBox(rt, {text, colour, style, "0", x, y, width, height, size}, *target);
  trace += "," + std::to_string(width) + "," + std::to_string(height) + "," + std::to_string(size) + "," + colour +
           "," + style;
  if (w) w->Msg->clear();
}

void display(Runtime& rt) {
  // "$" is the accumulated text, never a register name.
  if (rt.interp.P(1) != "$") {
    const std::string p1 = valueParam(rt, 1);
    if (namesPicture(p1)) {
      if (rt.form1) displayPicture(rt, p1);
      return;
    }
  }
  displayText(rt);
}

// Model "4": the picture across the monitor's width, and text continues
// under it.
void telaOnMonitor(Runtime& rt, TForm10& m, const QImage& picture) {
  const QColor background = backgroundColour(rt);
  m.monitorBuffer.fill(background);
  if (picture.isNull() || picture.width() == 0) return;
  const int w = m.monitorBuffer.width();
  const int h = w * picture.height() / picture.width();
  drawTransparent(m.monitorBuffer, picture, QRect(0, 0, w, h));
  const double scale = rt.state.scale;
  m.margins.left = static_cast<int>(5 * scale);
  m.margins.top = static_cast<int>(8 * scale) + h;
  m.margins.right = w - static_cast<int>(8 * scale);
  m.margins.bottom = m.monitorBuffer.height() - m.margins.top - static_cast<int>(5 * scale);
}

// A full-screen picture and the script that a press on the screen runs.
void tela(Runtime& rt) {
  GameState& s = rt.state;
  std::string& trace = rt.interp.trace;
  std::string file = valueParam(rt, 1);
  trace += file;
  if (file == "loc" || file == "pos") file = s.screenPicture;
  if (!files::exists(graphicsPath(rt, file))) return void(trace += " <--- arquivo n\xE3o existe");
  const std::string script = translateAlias(rt, valueParam(rt, 2));
  if (!script.empty() && !plainScriptExists(s, script))
    return void(trace += "," + script + " <--- script n\xE3o existe");
  s.clickScript = script;
  if (s.modelo == "0") return;
  s.screenPicture = file;
  if (s.modelo == "2") {
    const std::string image = "<img src=" + s.paths.fileBase + file + " width=" + s.config.at(24) + "px border=0>";
    s.pageBuffer.push_back(script.empty() ? image : "<a href=Scp=" + script + ">" + image + "</a>");
    return;
  }
  TForm1* w = rt.form1;
  if (!w) return;
  loadPicture(rt, file, Surface::BufShp);
  const QImage& picture = w->BufShp->picture();
  if (s.modelo == "1") {
    drawTransparent(w->screenBuffer, picture, w->screenBuffer.rect());
    w->Tela->setPicture(w->screenBuffer);
  } else if (s.modelo == "3") {
    const QSize drawn = drawPictureFile(rt, file, 0, s.pageWriteY, 0, 0, Surface::TelMod3);
    s.pageWriteY += drawn.height();
  } else if (s.modelo == "4" && rt.monitor) {
    telaOnMonitor(rt, *rt.monitor, picture);
  }
}

struct Rect {
  QColor colour;
  QRect area;
};

// Colour, then x, y, width, height with the given defaults.
Rect rectParams(Runtime& rt, QColor colour, QSize whole) {
  return {colourOr(valueParam(rt, 1), colour),
          QRect(parseIntOr(valueParam(rt, 2), 0), parseIntOr(valueParam(rt, 3), 0), parseIntOr(valueParam(rt, 4), whole.width()),
                parseIntOr(valueParam(rt, 5), whole.height()))};
}

// Model "4" clears the whole monitor picture, whatever rectangle was asked.
void clearMonitor(Runtime& rt, TForm10& m, QColor colour, bool visibleToo) {
  m.monitorBuffer.fill(colour);
  m.monitorCanvas.fontColour = textColour(rt);
  QFont font = generalFont(rt);
  if (font.pointSize() > 0) font.setPointSize(static_cast<int>(font.pointSize() * rt.state.scale));
  m.monitorCanvas.font = font;
  if (!visibleToo) return;
  m.Monitor->picture().fill(colour);
  m.Monitor->update();
}

// After a clear the screen writes in the general font again.
void resetScreenFont(Runtime& rt, CanvasStyle& canvas) {
  canvas.fontColour = textColour(rt);
  const QFont general = generalFont(rt);
  canvas.font.setFamily(general.family());
  if (general.pointSize() > 0) canvas.font.setPointSize(general.pointSize());
}

void cls(Runtime& rt) {
  TForm1* w = rt.form1;
  if (!w) return;
  const Rect r = rectParams(rt, backgroundColour(rt), w->Tela->size());
  if (rt.state.modelo == "4") {
    if (rt.monitor) clearMonitor(rt, *rt.monitor, r.colour, true);
    return;
  }
  fillRect(w->screenBuffer, r.area, r.colour);
  resetScreenFont(rt, w->screenCanvas);
  fillRect(w->Tela->picture(), r.area, r.colour);
  w->Tela->update();
  QRect page = r.area;
  if (page.width() == w->Tela->width()) page.setWidth(w->TelMod3->picture().width());
  if (page.height() == w->Tela->height()) page.setHeight(w->TelMod3->picture().height());
  fillRect(w->TelMod3->picture(), page, w->TelMod3->canvas.brush);
  w->Tela3->setPicture(w->TelMod3->picture());
}

void clearbuf(Runtime& rt) {
  TForm1* w = rt.form1;
  if (!w) return;
  const Rect r = rectParams(rt, backgroundColour(rt), w->Tela->size());
  if (rt.state.modelo == "4") {
    if (rt.monitor) clearMonitor(rt, *rt.monitor, r.colour, false);
    return;
  }
  fillRect(w->screenBuffer, r.area, r.colour);
  resetScreenFont(rt, w->screenCanvas);
}

void clearfnc(Runtime& rt) {
  TForm1* w = rt.form1;
  if (!w) return;
  const bool now = valueParam(rt, 1) == "now";
  const QColor panelColour = colourOr(rt.state.config.at(94), backgroundColour(rt));
  const Rect r = rectParams(rt, panelColour, w->panelBuffer.size());
  const QColor colour = now ? panelColour : r.colour;
  fillRect(w->panelBuffer, r.area, colour);
  resetScreenFont(rt, w->panelCanvas);
  if (!now) return;
  fillRect(w->TelCmd->picture(), r.area, colour);
  resetScreenFont(rt, w->TelCmd->canvas);
  w->TelCmd->repaint();
  rt.pumpEvents();
}

void clearpan(Runtime& rt) {
  TForm1* w = rt.form1;
  if (!w) return;
  const Rect r = rectParams(rt, backgroundColour(rt), w->Imp->size());
  fillRect(w->Imp->picture(), r.area, r.colour);
  w->Imp->update();
}

void refresh(Runtime& rt) {
  TForm1* w = rt.form1;
  if (!w) return;
  const std::string what = valueParam(rt, 1);
  if (what == "btedc") return;
  if (what == "btfim") return loadPicture(rt, "U-" + rt.state.config.at(66), Surface::BtFim);
  if (what == "fnc") {
    w->TelCmd->setPicture(w->panelBuffer);
  } else if (rt.state.modelo == "1") {
    w->Tela->setPicture(w->screenBuffer);
  } else if (rt.state.modelo == "3") {
    w->Tela3->setPicture(w->TelMod3->picture());
  } else if (rt.state.modelo == "4" && rt.monitor) {
    rt.monitor->Monitor->setPicture(rt.monitor->monitorBuffer);
  }
  rt.pumpEvents();
}

void savebuf(Runtime& rt) {
  TForm1* w = rt.form1;
  if (!w) return;
  if (rt.state.modelo == "1") QPainter(&w->screenBuffer).drawImage(0, 0, w->Tela->picture());
  else if (rt.state.modelo == "3") w->TelMod3->setPicture(w->Tela3->picture());
  else if (rt.state.modelo == "4" && rt.monitor)
    QPainter(&rt.monitor->monitorBuffer).drawImage(0, 0, rt.monitor->Monitor->picture());
}

// Loads a file into a bare bitmap that takes the picture's size.
void loadIntoBuffer(Runtime& rt, QImage& buffer) {
  const std::string file = valueParam(rt, 1);
  const QString path = graphicsPath(rt, file);
  if (file.empty() || !files::exists(path)) return;
  QImage picture;
  if (imaging::loadPictureFileCached(path, files::resolve(path), picture)) buffer = picture;
}

void loadbuftela(Runtime& rt) {
  if (rt.form1) loadIntoBuffer(rt, rt.form1->screenBuffer);
}

void loadbufesp(Runtime& rt) {
  if (rt.form1) loadIntoBuffer(rt, rt.form1->specialBuffer);
}

void getbufesp(Runtime& rt) {
  TForm1* w = rt.form1;
  if (!w || w->specialBuffer.isNull() || w->screenBuffer.isNull()) return;
  const int x = parseIntOr(valueParam(rt, 1), 0), y = parseIntOr(valueParam(rt, 2), 0);
  const QRect from(parseIntOr(valueParam(rt, 3), 0), parseIntOr(valueParam(rt, 4), 0),
                   parseIntOr(valueParam(rt, 5), w->Tela->width()), parseIntOr(valueParam(rt, 6), w->Tela->height()));
  QPainter(&w->screenBuffer).drawImage(QPoint(x, y), w->specialBuffer, from);
}

// A JPEG snapshot of the screen or its buffer, written relative to the
// working directory under the name a register holds.
void getfoto(Runtime& rt) {
  TForm1* w = rt.form1;
  std::string name = "foto.jpg";
  if (!rt.interp.P(1).empty()) {
    name = reg(rt, parseIntOr(numberParam(rt, 1), 0));
    if (!text::contains(name, ".jpg")) name += ".jpg";
  }
  if (!w) return;
  const bool buffer = valueParam(rt, 2) == "buf";
  const QImage* picture = nullptr;
  if (rt.state.modelo == "1") picture = buffer ? &w->screenBuffer : &w->Tela->picture();
  else if (rt.state.modelo == "3") picture = buffer ? &w->TelMod3->picture() : &w->Tela3->picture();
  else if (rt.state.modelo == "4" && rt.monitor)
    picture = buffer ? &rt.monitor->monitorBuffer : &rt.monitor->Monitor->picture();
  if (!picture) return;
  const QString path = files::resolve(text::toQString(name));
  if (!imaging::saveJpeg(*picture, path)) throw ScriptError("Cannot write the snapshot " + files::display(path));
}

// The backdrop behind the main window: off, on (when the game configured
// one), a picture or a colour.
void fundo(Runtime& rt) {
  TForm1F* backdrop = rt.backdrop;
  std::string p1 = valueParam(rt, 1);
  if (p1.empty()) p1 = "off";
  if (!backdrop) return;
  if (p1 == "off") return backdrop->hide();
  if (p1 == "on") {
    if (!rt.state.config.at(90).empty()) backdrop->showBehindMainWindow();
    return;
  }
  backdrop->setContent(p1);
  backdrop->showBehindMainWindow();
}

const CommandEntry kCommands[] = {
    {"display", display},       {"display=", display},     {"tela=", tela},           {"telpos=", tela},
    {"telloc=", tela},          {"tela", tela},            {"telpos", tela},          {"telloc", tela},
    {"cls", cls},               {"cleartela", cls},        {"clearscreen", cls},      {"clearbuf", clearbuf},
    {"clearbuffer", clearbuf},  {"clearfunc", clearfnc},   {"clearfnc", clearfnc},    {"clearfunc=", clearfnc},
    {"clearfnc=", clearfnc},    {"clearpan", clearpan},    {"clearpainel", clearpan}, {"refresh", refresh},
    {"savebuf", savebuf},       {"putbuf", savebuf},       {"teltobuf", savebuf},     {"loadbuftela", loadbuftela},
    {"loadbuftela=", loadbuftela}, {"loadbufesp", loadbufesp}, {"loadbufesp=", loadbufesp},
    {"getbufesp", getbufesp},   {"getbufesp=", getbufesp}, {"getfoto", getfoto},      {"tirafoto", getfoto},
    {"fundo=", fundo},
};

}  // namespace

void registerPictureCommands(CommandTable& table) { table.add(kCommands); }

}  // namespace corvant
