// The screen-model switch and the layout settings scripts can change.
#include <QFontDatabase>
#include <QPainter>

#include "engine/commandtable.h"
#include "engine/linesyntax.h"
#include "engine/params.h"
#include "engine/scriptfiles.h"
#include "presentation/layout.h"
#include "presentation/mainwindow.h"
#include "presentation/pictures.h"
#include "runtime/files.h"
#include "runtime/runtime.h"
#include "text/numbers.h"

namespace corvant {
namespace {

// `modo=` does nothing more when the model is already the current one; its
// synonyms always apply the model again.
void switchModel(Runtime& rt, bool evenWhenCurrent) {
  const std::string model = valueParam(rt, 1);
  TForm1* w = rt.form1;
  if (w) w->Input->clear();
  rt.state.scale = 1.0;
  if (!evenWhenCurrent && model == rt.state.modelo) return;
  if (w) applyScreenModel(rt, *w, model, {valueParam(rt, 2), valueParam(rt, 3), valueParam(rt, 4)});
  else rt.state.modelo = model;
}
void modo(Runtime& rt) { switchModel(rt, false); }
void setmode(Runtime& rt) { switchModel(rt, true); }

void autocls(Runtime& rt) {
  const std::string v = valueParam(rt, 1);
  if (v == "on") rt.state.autoRelayout = true;
  else if (v == "off") rt.state.autoRelayout = false;
}

void imgfndtela(Runtime& rt) { rt.state.config.set(89, valueParam(rt, 1)); }
void imgfndfunc(Runtime& rt) { rt.state.config.set(109, valueParam(rt, 1)); }

// Changes one configuration line in memory; shutdown saves it.
void defini(Runtime& rt) {
  const int index = text::parseIntOr(valueParam(rt, 1), -1);
  rt.interp.trace += std::to_string(index);
  std::string value = substituteMarker(kMarkerBlank, valueParam(rt, 2), rt.state.modelo);
  value = substituteMarker(kMarkerComma, value, rt.state.modelo);
  if (index < 0 || index >= rt.state.config.size()) return void(rt.interp.trace += " <- fora da faixa v\xE1lida");
  rt.state.config.set(index, value);
  rt.interp.trace += "," + value;
}

void defcom(Runtime& rt) {
  const std::string name = valueParam(rt, 1);
  rt.interp.trace += name;
  if (!plainScriptExists(rt.state, name))
    rt.interp.trace += " <- script n\xE3o existe";
  rt.state.vocabularyScript = name;
}

void efeito(Runtime& rt) {
  const std::string effect = valueParam(rt, 1);
  rt.interp.trace += effect;
  for (const char* known : {"", "scrollup", "direct", "down", "botton", "direto"})
    if (effect == known) return void(rt.state.textEffect = effect);
  rt.interp.trace += " <- efeito n\xE3o implementado";
}

void veltec(Runtime& rt) {
  const std::string v = valueParam(rt, 1);
  rt.state.typingDelay = v.empty() ? 0 : text::parseIntOr(v, 7);
  rt.interp.trace += std::to_string(rt.state.typingDelay);
}

// Window and area visibility.
void areas(Runtime& rt) {
  TForm1* w = rt.form1;
  if (!w) return;
  const std::string p1 = valueParam(rt, 1);
  if (p1 == "false") return w->hide();
  if (p1 == "true") return w->show();
  if (p1 == "stop") return w->setEnabled(false);
  if (p1 == "cont") return w->setEnabled(true);
  auto toggle = [&](QWidget* target, const std::string& v) {
    if (v == "on") target->show();
    else if (v == "off") target->hide();
  };
  toggle(w->Abok1, p1);
  toggle(w->Abok2, valueParam(rt, 2));
  toggle(w->Input, valueParam(rt, 3));
  toggle(w->btFim, valueParam(rt, 4));
  toggle(w->lbFim, valueParam(rt, 4));
}

void stretchtel(Runtime& rt) {
  if (rt.form1) rt.form1->Tela->setStretch(valueParam(rt, 1) != "off");
}

// A new window background: the window takes the picture's size and shape.
void loadpainel(Runtime& rt) {
  TForm1* w = rt.form1;
  const std::string file = valueParam(rt, 1);
  if (file.empty()) return void(rt.interp.trace += " <--- n\xE3o informou o nome do arquivo");
  if (!files::exists(files::join(rt.state.paths.graphicsFolder, file)))
    return void(rt.interp.trace += " <--- arquivo n\xE3o existe");
  if (!w) return;
  w->Imp->setPicture(QImage());
  loadPicture(rt, file, Surface::Imp);
  const QSize size = w->Imp->picture().size();
  if (size.isEmpty()) return;
  w->resize(size);
  w->Abok0->resize(size);
  w->Imp->resize(size);
  if (!rt.state.config.isOn(93)) shapeWindow(*w);
}

// A font file of the game, usable by name for as long as the program runs.
void instalfonte(Runtime& rt) {
  const std::string name = valueParam(rt, 1);
  std::string file = valueParam(rt, 2);
  if (file.empty()) file = "arial.ttf";
  if (file.find(".ttf") == std::string::npos) file += ".ttf";
  const QString path = files::join(rt.state.paths.adventureFolder, file);
  if (name.empty() || !files::exists(path)) return;
  QFontDatabase::addApplicationFont(files::resolve(path));
}

// A frame around the opening picture or the window background.
void borda(Runtime& rt) {
  TForm1* w = rt.form1;
  if (!w) return;
  const std::string p1 = valueParam(rt, 1), p2 = valueParam(rt, 2);
  const int width = p1.empty() ? 1 : text::parseIntOr(p1, 1);
  // A malformed colour fails the command.
  const QColor colour = QColor::fromRgb(colourToRgb(colourValue(p2.empty() ? "000000" : p2)));
  PictureWidget* target = w->Abok0->currentIndex() == TForm1::PageAbertura ? w->TelAber : w->Imp;
  QImage& picture = target->picture();
  if (picture.isNull()) return;
  QPainter painter(&picture);
  painter.setPen(QPen(colour, width));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(QRect(0, 0, target->width(), target->height()));
  target->update();
}

const CommandEntry kCommands[] = {
    {"modo=", modo},
    {"setmode=", setmode},
    {"setmode", setmode},
    {"mode=", setmode},
    {"autocls", autocls},
    {"autocls=", autocls},
    {"imgfndtela=", imgfndtela},
    {"imgfndtela", imgfndtela},
    {"imgfndfunc=", imgfndfunc},
    {"imgfndfunc", imgfndfunc},
    {"defini=", defini},
    {"defcom=", defcom},
    {"efeito=", efeito},
    {"effect=", efeito},
    {"veltec=", veltec},
    {"areas=", areas},
    {"visible=", areas},
    {"visible", areas},
    {"stretchtel=", stretchtel},
    {"stretchtel", stretchtel},
    {"stretchtela=", stretchtel},
    {"stretchtela", stretchtel},
    {"loadpainel", loadpainel},
    {"loadpan", loadpainel},
    {"painel", loadpainel},
    {"loadpainel=", loadpainel},
    {"loadpan=", loadpainel},
    {"painel=", loadpainel},
    {"instalfonte", instalfonte},
    {"instalfont", instalfonte},
    {"borda=", borda},
    {"border=", borda},
};

}  // namespace

void registerLayoutCommands(CommandTable& table) { table.add(kCommands); }

}  // namespace corvant
