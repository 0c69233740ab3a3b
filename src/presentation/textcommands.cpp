// Text output commands: the message commands, the text stores, the text
// settings and the message strip.
#include <QPainter>
#include <QTextDocument>
#include <QTextOption>

#include "engine/commandtable.h"
#include "engine/linesyntax.h"
#include "engine/params.h"
#include "engine/scripterror.h"
#include "presentation/htmlpage.h"
#include "presentation/layout.h"
#include "presentation/mainwindow.h"
#include "presentation/textmode.h"
#include "presentation/textoutput.h"
#include "runtime/runtime.h"
#include "text/cp1252.h"
#include "text/numbers.h"
#include "windows/monitorwindow.h"

namespace corvant {
namespace {

// The text of msg+ and msg=: a lone "$" is the text buffer.
std::string messageText(Runtime& rt) {
  if (rt.interp.P(1) == "$") return rt.state.textBuffer;
  return valueParam(rt, 1);
}

void traceMessage(Runtime& rt, const std::string& text) { rt.interp.trace += text.substr(0, 5) + "..."; }

// The page picture of model 3 takes the text settings before text is drawn.
void stylePagePicture(Runtime& rt) {
  if (!rt.form1) return;
  CanvasStyle& c = rt.form1->TelMod3->canvas;
  c.brush = backgroundColour(rt);
  c.font = generalFont(rt);
  c.fontColour = c.pen = textColour(rt);
}

void msgPlus(Runtime& rt) {
  const std::string text = messageText(rt);
  traceMessage(rt, text);
  GameState& s = rt.state;
  TForm1* w = rt.form1;
  if (s.modelo == "0") return textModeOutput(rt, text);
  if (s.modelo == "1" && w) return w->Msg->setPlainText(w->Msg->toPlainText() + forDisplay(text));
  if (s.modelo == "2") return s.pageBuffer.push_back(text);
  if (s.modelo == "3") stylePagePicture(rt);
}

void msgEquals(Runtime& rt) {
  const std::string text = messageText(rt);
  traceMessage(rt, text);
  if (text.empty()) rt.interp.trace += "<-Falta texto!!!";
  GameState& s = rt.state;
  TForm1* w = rt.form1;
  if (s.modelo == "0") return textModeOutput(rt, text);
  if (s.modelo == "1" && w) return w->Msg->setPlainText(forDisplay(text));
  if (s.modelo == "2") return html::convertMessage(s, text);
  if (s.modelo == "3" && w) {
    stylePagePicture(rt);
    const CanvasStyle& c = w->TelMod3->canvas;
    QImage& page = w->TelMod3->picture();
    if (page.isNull()) return;
    QPainter painter(&page);
    painter.setFont(c.font);
    painter.setPen(c.fontColour);
    painter.drawText(QRect(s.pageWriteX, s.pageWriteY, page.width(), page.height()), Qt::AlignLeft | Qt::AlignTop,
                     forDisplay(text));
    w->TelMod3->update();
  }
}

void clearmsg(Runtime& rt) {
  GameState& s = rt.state;
  TForm1* w = rt.form1;
  if (s.modelo == "0" && w) w->MsgMd0->clear();
  else if (s.modelo == "1" && w) w->Msg->clear();
  else if (s.modelo == "2") html::rebuildPage(s);
  else if (s.modelo == "3") s.memoText.clear();
}

void cleartxt(Runtime& rt) {
  rt.state.memoText.clear();
  rt.state.textBuffer.clear();
  if (rt.state.modelo == "1" && rt.form1) rt.form1->Msg->clear();
}

void clearStores(Runtime& rt) {
  rt.state.memoText.clear();
  rt.state.textBuffer.clear();
}

void cleartotal(Runtime& rt) {
  TForm1* w = rt.form1;
  if (!w) return;
  const QColor background = backgroundColour(rt);
  w->MsgMd0->clear();
  w->Input->clear();
  w->Msg->clear();
  w->Tela->picture().fill(background);
  w->Tela->update();
  w->screenBuffer.fill(background);
  w->TelMod3->picture().fill(background);
  w->TelCmd->picture().fill(background);
  w->TelCmd->update();
  w->Tela3->setPicture(w->TelMod3->picture());
  rt.pumpEvents();
}

void linefeed(Runtime& rt) {
  GameState& s = rt.state;
  TForm1* w = rt.form1;
  if (s.modelo == "0") return textModeOutput(rt, "\r\n");
  if (s.modelo == "1" && w) return w->Msg->setPlainText(w->Msg->toPlainText() + QStringLiteral("\n"));
  if (s.modelo == "2") return void(s.pageBuffer.emplace_back("<br>"));
  if (s.modelo == "3" && w) {
    const int points = w->TelMod3->canvas.font.pointSize();
    s.pageWriteY += TextSettings::pixelSize(points > 0 ? points : s.text.fontSize);
  }
}

// Applies a change of the text settings' font to the text-mode page and the
// message strip at once.
template <typename Change>
void changePageFonts(Runtime& rt, Change change) {
  TForm1* w = rt.form1;
  if (!w) return;
  for (QWidget* target : {static_cast<QWidget*>(w->MsgMd0), static_cast<QWidget*>(w->Msg)}) {
    QFont f = target->font();
    change(f);
    target->setFont(f);
  }
}

void fonte(Runtime& rt) {
  TextSettings& t = rt.state.text;
  const std::string face = valueParam(rt, 1), size = valueParam(rt, 2), colour = valueParam(rt, 3);
  if (!face.empty()) t.fontFace = face;
  if (!size.empty()) {
    const auto points = text::parseInt(size);
    if (!points) throw ScriptError("'" + size + "' is not a valid integer value");
    t.fontSize = *points;
  }
  if (!colour.empty()) t.textColour = colour;
  t.bold = !valueParam(rt, 4).empty();
  t.italic = !valueParam(rt, 5).empty();
  t.underline = !valueParam(rt, 6).empty();
  rt.interp.trace += t.fontFace + "," + std::to_string(t.fontSize) + "," + t.textColour + "," +
                     (t.bold ? "bold," : "normal,") + (t.italic ? "italic," : "normal,") +
                     (t.underline ? "undelined," : "normal");
}

void fntsize(Runtime& rt) {
  TextSettings& t = rt.state.text;
  const auto points = text::parseInt(valueParam(rt, 1));
  t.fontSize = points ? *points : text::parseIntOr(rt.state.config.at(16), 12);
  rt.interp.trace += std::to_string(t.fontSize);
  if (t.fontSize > 0) changePageFonts(rt, [&](QFont& f) { f.setPointSize(t.fontSize); });
}

void fntface(Runtime& rt) {
  TextSettings& t = rt.state.text;
  const std::string face = valueParam(rt, 1);
  rt.interp.trace += face;
  t.fontFace = face.empty() ? rt.state.config.at(15) : face;
  changePageFonts(rt, [&](QFont& f) { f.setFamily(text::toQString(t.fontFace)); });
}

void fntsty(Runtime& rt) {
  TextSettings& t = rt.state.text;
  std::string flags = valueParam(rt, 1);
  if (flags.empty()) flags = "biu";
  rt.interp.trace += flags;
  t.bold = flags.size() > 0 && flags[0] == 'B';
  t.italic = flags.size() > 1 && flags[1] == 'I';
  t.underline = flags.size() > 2 && flags[2] == 'U';
  TForm1* w = rt.form1;
  if (!w) return;
  changePageFonts(rt, [&](QFont& f) { applyStyleFlags(f, flags); });
  for (CanvasStyle* c : {&w->Tela->canvas, &w->screenCanvas}) applyStyleFlags(c->font, flags);
}

// The canvases that follow the background and text colours.
std::vector<CanvasStyle*> followingCanvases(Runtime& rt) {
  std::vector<CanvasStyle*> out;
  if (TForm1* w = rt.form1) out = {&w->Tela->canvas, &w->screenCanvas, &w->Tela3->canvas, &w->TelMod3->canvas};
  if (TForm10* m = rt.monitor) {
    out.push_back(&m->Monitor->canvas);
    out.push_back(&m->monitorCanvas);
  }
  return out;
}

QColor convertColour(const std::string& s) { return QColor::fromRgb(colourToRgb(colourValue(s))); }

void corfnd(Runtime& rt) {
  std::string colour = valueParam(rt, 1);
  if (colour.empty()) colour = rt.state.config.at(18);
  rt.state.text.backgroundColour = colour;
  rt.interp.trace += colour;
  const QColor c = convertColour(colour);
  if (TForm1* w = rt.form1) {
    QPalette p = w->MsgMd0->palette();
    p.setColor(QPalette::Base, c);
    p.setColor(QPalette::Window, c);
    w->MsgMd0->setPalette(p);
  }
  for (CanvasStyle* canvas : followingCanvases(rt)) canvas->brush = c;
}

void cortxt(Runtime& rt) {
  std::string colour = valueParam(rt, 1);
  if (colour.empty()) colour = rt.state.config.at(19);
  rt.state.text.textColour = colour;
  rt.interp.trace += colour;
  const QColor c = convertColour(colour);
  if (TForm1* w = rt.form1) {
    for (QWidget* target : {static_cast<QWidget*>(w->MsgMd0), static_cast<QWidget*>(w->Msg)}) {
      QPalette p = target->palette();
      p.setColor(QPalette::Text, c);
      p.setColor(QPalette::WindowText, c);
      target->setPalette(p);
    }
  }
  for (CanvasStyle* canvas : followingCanvases(rt)) canvas->fontColour = c;
}

void setColourSetting(Runtime& rt, std::string TextSettings::*field, int configIndex) {
  std::string colour = valueParam(rt, 1);
  if (colour.empty()) colour = rt.state.config.at(configIndex);
  rt.state.text.*field = colour;
  rt.interp.trace += colour;
}
void corlnk(Runtime& rt) { setColourSetting(rt, &TextSettings::linkColour, 20); }
void corvzk(Runtime& rt) { setColourSetting(rt, &TextSettings::visitedColour, 21); }

void textoAppend(Runtime& rt) { rt.state.memoText += valueParam(rt, 1); }
void textoReplace(Runtime& rt) { rt.state.memoText = valueParam(rt, 1); }

void setAlignment(QPlainTextEdit* target, Qt::Alignment a) {
  QTextOption option = target->document()->defaultTextOption();
  option.setAlignment(a);
  target->document()->setDefaultTextOption(option);
}

void align(Runtime& rt) {
  const std::string word = valueParam(rt, 1);
  Qt::Alignment a;
  if (word == "left") a = Qt::AlignLeft;
  else if (word == "center") a = Qt::AlignHCenter;
  else if (word == "right") a = Qt::AlignRight;
  else return void(rt.interp.trace += word + " <--- alinhamento incorreto");
  rt.state.text.alignment = word;
  TForm1* w = rt.form1;
  if (!w) return;
  if (rt.state.modelo == "0") setAlignment(w->MsgMd0, a);
  else if (rt.state.modelo == "1") setAlignment(w->Msg, a);
}

void defmsg(Runtime& rt) {
  TForm1* w = rt.form1;
  if (!w) return;
  QPlainTextEdit* strip = w->Msg;
  std::array<std::string, 9> p;
  for (int i = 1; i <= 9; ++i) p[static_cast<size_t>(i - 1)] = valueParam(rt, i);
  if (p[0] == "off") return strip->hide();
  if (p[0] == "on") return strip->show();
  auto number = [&](int i) { return p[static_cast<size_t>(i)].empty() ? std::nullopt : text::parseInt(p[static_cast<size_t>(i)]); };
  auto colour = [&](int i) -> std::optional<QColor> {
    const std::string& v = p[static_cast<size_t>(i)];
    return v.empty() ? std::nullopt : tryColour(v);
  };
  if (auto v = number(0)) strip->move(*v, strip->y());
  if (auto v = number(1)) strip->move(strip->x(), *v);
  if (auto v = number(2)) strip->resize(*v, strip->height());
  if (auto v = number(3)) strip->resize(strip->width(), *v);
  QFont font = strip->font();
  if (!p[4].empty()) font.setFamily(text::toQString(p[4]));
  QPalette palette = strip->palette();
  if (auto c = colour(5)) palette.setColor(QPalette::Text, *c);
  if (auto c = colour(6)) {
    palette.setColor(QPalette::Base, *c);
    palette.setColor(QPalette::Window, *c);
  }
  strip->setPalette(palette);
  if (!p[7].empty()) applyStyleFlags(font, p[7]);
  strip->clear();
  if (auto v = number(8); v && *v > 0) font.setPointSize(*v);
  strip->setFont(font);
}

void moveStrip(Runtime& rt, bool outside) {
  ConfigList& c = rt.state.config;
  c.set(88, outside ? "*" : "");
  TForm1* w = rt.form1;
  if (!w) return;
  auto n = [&](int i) { return text::parseIntOr(c.at(i), 0); };
  w->Msg->move(n(27) + (outside ? 0 : n(22)), n(28) + (outside ? 0 : n(23)));
}
void setmsgout(Runtime& rt) { moveStrip(rt, true); }
void setmsgin(Runtime& rt) { moveStrip(rt, false); }

const CommandEntry kCommands[] = {
    {"msg+", msgPlus},         {"msg=", msgEquals},      {"clearmsg", clearmsg},    {"cleartxt", cleartxt},
    {"clear$", clearStores},   {"cleartotal", cleartotal}, {"linefeed", linefeed},  {"fonte=", fonte},
    {"font=", fonte},          {"fonte", fonte},         {"font", fonte},           {"fntsize=", fntsize},
    {"fntface=", fntface},     {"fntsty=", fntsty},      {"corfnd=", corfnd},       {"cortxt=", cortxt},
    {"corlnk=", corlnk},       {"corvzk=", corvzk},      {"texto", textoAppend},    {"texto+", textoAppend},
    {"text", textoAppend},     {"text+", textoAppend},   {"txt", textoAppend},      {"txt+", textoAppend},
    {"texto=", textoReplace},  {"text=", textoReplace},  {"txt=", textoReplace},    {"align=", align},
    {"defmsg=", defmsg},       {"defmsg", defmsg},       {"setmsgout", setmsgout},  {"setmsgin", setmsgin},
};

}  // namespace

void registerTextCommands(CommandTable& table) { table.add(kCommands); }

}  // namespace corvant
