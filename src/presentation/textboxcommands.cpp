// Text boxes on pictures: print= and the text cursor and link settings.
#include <QFont>

#include "engine/commandtable.h"
#include "engine/linesyntax.h"
#include "engine/params.h"
#include "presentation/mainwindow.h"
#include "presentation/textbox.h"
#include "runtime/runtime.h"
#include "text/numbers.h"
#include "windows/monitorwindow.h"

namespace corvant {
namespace {

using text::intToText;
using text::parseInt;
using text::parseIntOr;

// A coordinate of print=: "$" is the page text cursor's, an empty one
// `whenEmpty`, anything else that is not a number 0. "$" is read before the
// register names, which would take it for the register without a name.
int coordinate(const Runtime& rt, int n, int cursor, int whenEmpty) {
  if (rt.interp.P(n) == "$") return cursor;
  const std::string v = valueParam(rt, n);
  return v.empty() ? whenEmpty : parseIntOr(v, 0);
}

// The style print= draws in when the script gives none: the surface's own,
// as long as it is a single one of bold, italic and underline.
std::string styleOfSurface(const QFont& font) {
  std::string flags = "biu";
  const bool b = font.bold(), i = font.italic(), u = font.underline();
  if (b && !i && !u) flags[0] = 'B';
  if (i && !b && !u) flags[1] = 'I';
  if (u && !b && !i) flags[2] = 'U';
  return flags;
}

void print(Runtime& rt) {
  GameState& s = rt.state;
  const std::string& model = s.modelo;
  TForm1* w = rt.form1;
  std::string& trace = rt.interp.trace;

  std::string text = rt.interp.P(1) == "$" ? "$" : substituteAllMarkers(valueParam(rt, 1), model);
  const bool pictureScreen = model == "1";
  int x = coordinate(rt, 2, s.pageWriteX, pictureScreen ? 0 : s.pageWriteX);
  int y = coordinate(rt, 3, s.pageWriteY, pictureScreen ? 0 : s.pageWriteY);
  const std::string widthParam = valueParam(rt, 4), heightParam = valueParam(rt, 5);
  const auto givenWidth = parseInt(widthParam), givenHeight = parseInt(heightParam);
  int width = givenWidth.value_or(0), height = givenHeight.value_or(0);
  if (model == "1") {
    const QSize screen = w ? w->Tela->size() : QSize();
    if (!givenWidth) width = screen.width() - x;
    if (!givenHeight) height = screen.height() - y;
  } else if (model == "3") {
    const QSize page = w ? w->TelMod3->picture().size() : QSize();
    if (!givenWidth) width = widthParam.empty() ? page.width() - s.pageWriteX : page.width();
    if (!givenHeight) height = heightParam.empty() ? page.height() - s.pageWriteY : page.height();
  } else if (model == "4") {
    if (!givenWidth) width = s.logicalWidth;
    if (!givenHeight) height = s.logicalHeight;
    // The script places the box on the logical screen; the monitor shows it
    // scaled.
    auto scaled = [&](int v) { return static_cast<int>(v * s.scale); };
    x = scaled(x);
    y = scaled(y);
    width = scaled(width);
    height = scaled(height);
  }
  trace += text.substr(0, 5) + "," + intToText(x) + "," + intToText(y) + "," + intToText(width) + "," +
           intToText(height);

  std::string colour = valueParam(rt, 6), style = valueParam(rt, 7), boxColour = valueParam(rt, 8);
  const int size = parseIntOr(valueParam(rt, 9), s.text.fontSize);
  if (colour.empty()) colour = s.text.textColour;
  if (boxColour.empty()) boxColour = s.text.backgroundColour;
  if (style.empty()) {
    const QFont* current = nullptr;
    if (model == "1" && w) current = &w->screenCanvas.font;
    else if (model == "3" && w) current = &w->TelMod3->canvas.font;
    else if (model == "4" && rt.monitor) current = &rt.monitor->monitorCanvas.font;
    style = current ? styleOfSurface(*current) : "biu";
  }
  trace += "," + colour + "," + style + "," + boxColour + "," + intToText(size);

  if (model == "4") return drawMonitorTextBox(rt, {text, x, y, width, height, size});
  if (model != "1" && model != "3") return;
  // Model "1" collects its text blocks in the text buffer; "$" draws those.
  if (model == "1") s.memoText = s.textBuffer;
  const TextBox box{text, colour, style, boxColour.empty() ? "0" : boxColour, x, y, width, height, size};
  drawTextBox(rt, box, model == "1" ? TextBoxTarget::Tela : TextBoxTarget::TelMod3);
}

// A coordinate of the page text cursor: empty or "$" keeps it.
void moveCursorCoordinate(const Runtime& rt, int n, int& coordinate) {
  const std::string& raw = rt.interp.P(n);
  if (raw.empty() || raw == "$") return;
  coordinate = parseIntOr(valueParam(rt, n), 0);
}

void postxt(Runtime& rt) {
  GameState& s = rt.state;
  if (s.modelo != "3") return void(rt.interp.trace += " <--- n\xE3o est\xE1 no modo 3");
  moveCursorCoordinate(rt, 1, s.pageWriteX);
  moveCursorCoordinate(rt, 2, s.pageWriteY);
  rt.interp.trace += intToText(s.pageWriteX) + "," + intToText(s.pageWriteY);
}

void lnfeed(Runtime& rt) {
  GameState& s = rt.state;
  if (s.modelo != "3") return;
  const std::string v = valueParam(rt, 1);
  s.pageWriteY += v.empty() ? 10 : parseIntOr(v, 0);
  growPagePicture(rt, s.pageWriteY);
}

// The link-drawing settings: the parameter goes to the trace as written.
int settingParam(Runtime& rt, int fallback) {
  const std::string v = valueParam(rt, 1);
  rt.interp.trace += v;
  return parseIntOr(v, fallback);
}

void entrelinha(Runtime& rt) { rt.state.text.lineHeight = settingParam(rt, 0); }
void poslink(Runtime& rt) { rt.state.text.underlineOffset = settingParam(rt, 0); }
void szelink(Runtime& rt) { rt.state.text.linkLineSize = settingParam(rt, 1); }

const CommandEntry kCommands[] = {
    {"print=", print},          {"print", print},         {"printx", print},       {"btxt=", print},
    {"btxt", print},            {"boxtexto=", print},     {"boxtexto", print},     {"postxt=", postxt},
    {"postxt", postxt},         {"lnfeed=", lnfeed},      {"entrelinha=", entrelinha}, {"entrelinha", entrelinha},
    {"poslink=", poslink},      {"poslink", poslink},     {"szelink=", szelink},   {"szelink", szelink},
    {"sizelink=", szelink},     {"linksize=", szelink},
};

}  // namespace

void registerTextBoxCommands(CommandTable& table) { table.add(kCommands); }

}  // namespace corvant
