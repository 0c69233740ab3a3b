#include "engine/driver.h"

#include "engine/linesyntax.h"
#include "engine/params.h"
#include "engine/scripterror.h"
#include "engine/scriptfiles.h"
#include "engine/textblock.h"
#include "runtime/files.h"
#include "runtime/runtime.h"
#include "runtime/savedgame.h"
#include "text/numbers.h"
#include "text/strings.h"

namespace corvant {
namespace {

constexpr int kRedispatchLimit = 64;

// `first` is the handler of the line's own word, already looked up.
void dispatch(Runtime& rt, Handler first) {
  for (int hops = 0; hops < kRedispatchLimit; ++hops) {
    Handler h = hops == 0 ? first : rt.commands.find(rt.interp.word);
    if (!h) return;
    rt.interp.redispatch = false;
    h(rt);
    if (!rt.interp.redispatch) return;
  }
  throw ScriptError("The command " + rt.interp.word + " keeps continuing as another command");
}

void storePressPosition(Runtime& rt, const std::string& regText, int value) {
  if (regText.empty()) return;
  auto n = text::parseInt(regText);
  if (!n) throw ScriptError("'" + regText + "' is not a register number (link parameter Ptx/Pty)");
  reg(rt, *n) = std::to_string(value);
}

void startFreshRun(Runtime& rt, std::string& name) {
  GameState& s = rt.state;
  rt.hooks->resetInputsForFreshRun();
  s.runInProgress = true;
  s.recallCountdown = 0;
  rt.hooks->resetPresentationForFreshRun();
  s.script = name;
  s.returnScript.clear();
  s.returnLine = -1;
  rt.hooks->reloadTextSettings();
  if (s.modelo != "4" && s.autoRelayout) rt.hooks->autoRelayout();

  s.link.clear();
  if (text::contains(name, "&")) name = readLinkAddress(name, s.link);
  name = translateAlias(rt, name);
  s.script = name;

  if (readScript(s, name, ScriptSource::FreshRun, s.lines)) {
    rt.trace->write("Executando script: " + name + ".scp");
    rt.trace->write("Labels neste script...");
    rt.trace->write(listLabels(s.lines));
    rt.trace->write("");
  } else {
    rt.trace->write("N\xE3o encontrei o script: " + name + ".scp");
    rt.trace->write("");
  }
  s.lineIndex = 0;
  storePressPosition(rt, s.link.ptx, s.lastPressX);
  storePressPosition(rt, s.link.pty, s.lastPressY);
}

void lineLoop(Runtime& rt, bool writeTrace) {
  GameState& s = rt.state;
  while (s.lineIndex >= 0 && static_cast<size_t>(s.lineIndex) < s.lines.size()) {
    interpretLine(rt);
    if (writeTrace) rt.trace->write(rt.interp.trace);
    ++s.lineIndex;
  }
}

void endOfRun(Runtime& rt) {
  rt.hooks->presentBuffers();
  saveAfterRun(rt.state);
  rt.pumpEvents();
  rt.hooks->refreshAfterRun();
  rt.pumpEvents();
  rt.hooks->redrawAuxiliaryWindows();
}

void recall(Runtime& rt) {
  while (rt.state.recallCountdown > 0 && !rt.host.quitting()) {
    rt.host.sleepMs(500);
    rt.pumpEvents();
    if (rt.state.recallCountdown <= 0) break;  // a nested fresh run cancelled it
    if (--rt.state.recallCountdown == 0) freshRun(rt, rt.state.recallScript);
  }
}

}  // namespace

void freshRun(Runtime& rt, std::string name) { run(rt, std::move(name), -1); }

void run(Runtime& rt, std::string name, int start) {
  GameState& s = rt.state;
  rt.hooks->beforeRun();
  if (s.triggerCountdown > 0 && --s.triggerCountdown == 0) {
    name = s.triggerScript;
    start = -1;
  }
  logVisit(rt, name);
  if (start == -1) startFreshRun(rt, name);
  else s.lineIndex = start;

  s.textBuffer.clear();
  rt.hooks->prepareRunSurfaces();
  lineLoop(rt, true);
  s.runInProgress = false;
  endOfRun(rt);
  recall(rt);
}

void quickRun(Runtime& rt, const std::string& name) {
  GameState& s = rt.state;
  if (!plainScriptExists(s, name)) return;
  const bool scrambled = s.config.at(cfg::kScrambled) == "x";
  if (scrambled && !files::exists(files::join(s.paths.adventureFolder, name + ".scx"))) return;
  auto lines = loadScriptLines(s, name);
  if (!lines) return;
  s.lines = std::move(*lines);
  s.lineIndex = 0;
  lineLoop(rt, false);
}

void runFromLabel(Runtime& rt, const std::string& rawTarget) {
  GameState& s = rt.state;
  s.link.clear();
  std::string target = rawTarget;
  if (text::contains(target, "&")) target = readLinkAddress(target, s.link);
  if (target.empty() || target[0] != ':') return;
  auto label = s.lines.findLabel(std::string_view(target).substr(1));
  if (!label) return;
  const int next = *label + 1;
  s.lineIndex = next;
  // While a run waits, only the index moves: the waiting loop advances it
  // once more when its line finishes.
  if (!s.runInProgress) run(rt, target, next);
}

void runTimerTick(Runtime& rt) {
  GameState& s = rt.state;
  const std::string savedScript = s.script;
  const int savedLine = s.lineIndex;
  s.script = s.timerScript;
  readScript(s, s.timerScript, ScriptSource::PlainOnly, s.lines);
  run(rt, s.timerScript, 0);
  s.script = savedScript;
  s.lineIndex = savedLine;
  readScript(s, savedScript, ScriptSource::PlainOnly, s.lines);
}

void continueAs(Runtime& rt, const std::string& word) {
  rt.interp.word = word;
  rt.interp.redispatch = true;
}

void continueAsGoto(Runtime& rt, const std::string& label) {
  rt.interp.clearParams();
  rt.interp.P(1) = label;
  continueAs(rt, "goto");
}

void logVisit(Runtime& rt, const std::string& name) {
  if (rt.state.visitLogName.empty()) return;
  const QString path = files::join(rt.state.paths.adventureFolder, rt.state.visitLogName + ".txt");
  const std::string err = files::appendLine(path, name);
  if (!err.empty()) throw ScriptError("Cannot write the visit log " + files::display(path) + ": " + err);
}

void interpretLine(Runtime& rt) {
  Interpreter& in = rt.interp;
  GameState& s = rt.state;
  while (true) {
    if (s.lineIndex < 0 || static_cast<size_t>(s.lineIndex) >= s.lines.size())
      throw ScriptError("The script ends where another line was expected (line " + std::to_string(s.lineIndex) + ")");
    const size_t index = static_cast<size_t>(s.lineIndex);
    in.sourceLine = s.lines[index];
    in.chainNext = false;
    in.redispatch = false;
    in.word.clear();
    startTraceLine(in.trace, s.lineIndex);
    // Everything a handler needs is copied out of `c` before it runs, because
    // a handler may replace the line list.
    const ParsedLine& c = s.lines.parsed(index);
    switch (c.kind) {
      case LineKind::Empty:
        break;
      case LineKind::Label:
        in.trace += c.text + " <-" + labelReferences(s.lines, c.text);
        break;
      case LineKind::Comment:
        in.trace += c.text;
        break;
      case LineKind::TextBlock:
        runTextBlock(rt, std::string(c.text));
        break;
      case LineKind::Command:
        in.word = c.word;
        for (size_t i = 0; i < in.p.size(); ++i) {
          in.p[i] = c.params[i];
          if (!in.p[i].empty() && in.p[i][0] == '#') readRegisterReference(in.p[i], in.word, s.registers, s.registerCount);
        }
        in.trace += in.word;
        in.trace += ' ';
        dispatch(rt, rt.commands.cached(c.handler, in.word));
        break;
    }
    if (!in.chainNext) return;
    rt.trace->write(in.trace);
  }
}

std::string translateAlias(const Runtime& rt, const std::string& name) {
  const GameState& s = rt.state;
  static const std::pair<const char*, Direction> kDirections[] = {
      {"@norte", Direction::North}, {"@sul", Direction::South},     {"@leste", Direction::East},
      {"@oeste", Direction::West},  {"@entrar", Direction::In},     {"@sair", Direction::Out},
      {"@subir", Direction::Up},    {"@descer", Direction::Down}};
  for (const auto& [alias, dir] : kDirections) {
    if (name != alias) continue;
    const std::string& exit = s.exits[static_cast<size_t>(dir)];
    return exit.empty() ? name : exit;
  }
  auto orName = [&](const std::string& v) { return v.empty() ? name : v; };
  if (name == "@pos") return orName(s.posic);
  if (name == "@obj") return orName(s.objeto);
  if (name == "xvlt" || name == "@xvlt") return orName(s.retScp);
  return name;
}

}  // namespace corvant
