// The screen-model switch and the layout settings scripts can change.
#include "engine/commandtable.h"
#include "engine/linesyntax.h"
#include "engine/params.h"
#include "presentation/layout.h"
#include "presentation/mainwindow.h"
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
  if (w) applyScreenModel(rt, *w, model);
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
  const std::string p1 = valueParam(rt, 1);
  const int index = text::parseIntOr(p1.empty() ? "-1" : p1, -1);
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
  if (!files::exists(files::join(rt.state.paths.adventureFolder, name + ".scp")))
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
};

}  // namespace

void registerLayoutCommands(CommandTable& table) { table.add(kCommands); }

}  // namespace corvant
