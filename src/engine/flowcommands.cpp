// Commands that decide which line runs next: jumps, the one-level
// subroutine, switching scripts, ending a run, waits, the recall, the run
// timer, the trigger and the keyword test.
#include "engine/commandtable.h"
#include "engine/driver.h"
#include "engine/linesyntax.h"
#include "engine/params.h"
#include "engine/scripterror.h"
#include "engine/scriptfiles.h"
#include "runtime/files.h"
#include "runtime/runtime.h"
#include "text/numbers.h"
#include "text/strings.h"
#include "world/keys.h"

namespace corvant {
namespace {

using text::parseIntOr;

const std::string kDashes(48, '-');
// The script name used when a timer or trigger names none.
constexpr const char* kDefaultTimerScript = "ak7mg1t";

void traceLabelsOf(Runtime& rt, const std::string& name) {
  rt.trace->write("Executando script: " + name + ".scp");
  rt.trace->write("Labels neste script...");
  rt.trace->write(listLabels(rt.state.lines));
  rt.trace->write("");
}

// The line after the label is interpreted at once, in the same call.
void gotoLabel(Runtime& rt) {
  const std::string label = valueParam(rt, 1);
  rt.interp.trace += label;
  auto line = rt.state.lines.findLabel(label);
  if (!line) return void(rt.interp.trace += " <--- n\xE3o existe este label");
  rt.state.lineIndex = *line + 1;
  rt.interp.chainNext = true;
}

void gosub(Runtime& rt) {
  GameState& s = rt.state;
  std::string& trace = rt.interp.trace;
  if (s.returnLine != -1) return void(trace += " <--- j\xE1 existe gosub em execu\xE7\xE3o (" + s.returnScript + ")");
  std::string target = valueParam(rt, 1);
  if (target.empty()) return void(trace += " <--- n\xE3o informou o script/label");
  target = translateAlias(rt, target);
  const bool label = target[0] == ':';
  if (!label && !plainScriptExists(rt.state, target)) return void(trace += target + " <--- n\xE3o existe este script");
  s.returnScript = s.script;
  s.returnLine = s.lineIndex;
  if (label) {
    target.erase(0, 1);
    trace += target + " <- label em subrotina!";
    rt.trace->write(trace);
    trace = kDashes;
    continueAsGoto(rt, target);
    return;
  }
  s.script = target;
  s.lineIndex = -1;
  readScript(s, target, ScriptSource::PlainOnly, s.lines);
  trace += target + " <- script em subrotina";
  rt.trace->write(trace);
  trace = kDashes;
  rt.trace->write(trace);
  traceLabelsOf(rt, target);
}

void returnFromGosub(Runtime& rt) {
  GameState& s = rt.state;
  if (s.returnLine == -1) return void(rt.interp.trace += " <--- n\xE3o h\xE1 gosub em execu\xE7\xE3o!");
  if (s.script != s.returnScript) readScript(s, s.returnScript, ScriptSource::PlainOnly, s.lines);
  s.script = s.returnScript;
  s.lineIndex = s.returnLine;
  s.returnLine = -1;
  rt.interp.trace += " <- retorno ao script " + s.script + " na linha: " + std::to_string(s.lineIndex);
  rt.trace->write(rt.interp.trace);
  rt.interp.trace = kDashes;
}

// `script` continues the new script at its line 1 (the driver advances the
// index after this line); `script§` runs it as a fresh run from line 0.
void switchScript(Runtime& rt, bool fresh) {
  GameState& s = rt.state;
  std::string name = valueParam(rt, 1);
  if (name.empty()) return void(rt.interp.trace += " <--- n\xE3o informou o nome do script");
  if (text::contains(name, "&")) name = readLinkAddress(name, s.link);
  rt.interp.trace += name;
  name = translateAlias(rt, name);
  if (!plainScriptExists(rt.state, name)) return void(rt.interp.trace += " <- script n\xE3o existe");
  s.script = name;
  readScript(s, name, ScriptSource::PlainOnly, s.lines);
  if (valueParam(rt, 2) != "on") rt.hooks->resetLinksForScriptSwitch();
  logVisit(rt, name);
  s.lineIndex = 0;
  rt.trace->write(rt.interp.trace);
  if (fresh) freshRun(rt, translateAlias(rt, s.script));
}
void scriptCmd(Runtime& rt) { switchScript(rt, false); }
void scriptFresh(Runtime& rt) { switchScript(rt, true); }

void endRun(Runtime& rt) {
  rt.interp.trace += "<-Encerrou a execu\xE7\xE3o";
  rt.trace->write(rt.interp.trace);
  rt.trace->write(std::string(48, '='));
  rt.interp.trace.clear();
  rt.state.lineIndex = static_cast<int>(rt.state.lines.size()) + 10;
}

void retScp(Runtime& rt) {
  const std::string name = valueParam(rt, 1);
  rt.interp.trace += name;
  if (!plainScriptExists(rt.state, name)) rt.interp.trace += " <- n\xE3o existe este script";
  rt.state.retScp = name;
}

void recallCmd(Runtime& rt) {
  rt.state.recallCountdown = parseIntOr(valueParam(rt, 1), 0) * 2;
  rt.state.recallScript = valueParam(rt, 2);
}

// Waits n steps, delivering events at each unless told "off"; the window
// stays responsive and clicks or ticks may start nested runs meanwhile.
void wait(Runtime& rt, int stepMs) {
  const int n = parseIntOr(valueParam(rt, 1), 1);
  rt.interp.trace += std::to_string(n);
  const bool events = valueParam(rt, 2) != "off";
  for (int i = 0; i < n && !rt.host.quitting(); ++i) {
    if (events) rt.pumpEvents();
    rt.host.sleepMs(stepMs);
  }
}
void pausa(Runtime& rt) { wait(rt, 10); }
void delay(Runtime& rt) { wait(rt, 1); }

// Waits for a held key or a press on the game screen; a press wins.
void stopForInput(Runtime& rt) {
  GameState& s = rt.state;
  int n = parseIntOr(numberParam(rt, 1), 0);
  if (n > s.registerCount) n = 0;
  while (s.heldKey == 0 && s.pressButton.empty() && !rt.host.quitting()) {
    rt.pumpEvents();
    rt.host.sleepMs(5);
  }
  if (s.heldKey != 0) reg(rt, n) = keyName(s.heldKey);
  if (!s.pressButton.empty()) {
    reg(rt, n) = s.pressButton;
    s.pressButton.clear();
  }
  s.heldKey = 0;
}

void runtimeCmd(Runtime& rt) {
  std::string p1 = valueParam(rt, 1), p2 = valueParam(rt, 2);
  if (p1.empty()) p1 = "off";
  const int unit = parseIntOr(valueParam(rt, 3), 1000);
  if (p1 == "off") return rt.hooks->setRunTimer(0);
  const int n = parseIntOr(p1, 1);
  if (p2.empty()) p2 = kDefaultTimerScript;
  if (!plainScriptExists(rt.state, p2)) return;
  rt.state.timerScript = p2;
  const int64_t interval = int64_t{n} * unit;
  // A timer cannot fire faster than every millisecond nor wait past what the
  // platform timer holds.
  rt.hooks->setRunTimer(static_cast<int>(std::clamp<int64_t>(interval, 1, INT32_MAX)));
}

void trigger(Runtime& rt) {
  std::string p1 = valueParam(rt, 1), p2 = valueParam(rt, 2);
  if (p1.empty()) p1 = "off";
  const int n = parseIntOr(p1, 0);
  if (p2.empty()) p2 = kDefaultTimerScript;
  if (!plainScriptExists(rt.state, p2)) p1 = "off";
  if (p1 == "off") {
    rt.state.triggerCountdown = 0;
    return;
  }
  rt.state.triggerScript = p2;
  rt.state.triggerCountdown = n;
}

void getTrigger(Runtime& rt) {
  reg(rt, parseIntOr(numberParam(rt, 1), 0)) = std::to_string(rt.state.triggerCountdown);
}

void proc(Runtime& rt) {
  GameState& s = rt.state;
  const std::string keyword = valueParam(rt, 1), label = valueParam(rt, 3);
  std::string phrase = valueParam(rt, 2);
  s.questionFlag = false;
  if (auto q = phrase.find('?'); q != std::string::npos) {
    s.questionFlag = true;
    phrase[q] = ' ';
  }
  if (keyword.empty() || !text::contains(phrase, keyword)) return;
  continueAsGoto(rt, text::contains(label, "&") ? readLinkAddress(label, s.link) : label);
}

void ifQuestion(Runtime& rt) {
  GameState& s = rt.state;
  if (!s.questionFlag) return;
  s.questionFlag = false;
  const std::string label = valueParam(rt, 1);
  continueAsGoto(rt, text::contains(label, "&") ? readLinkAddress(label, s.link) : label);
}

void ifFile(Runtime& rt) {
  const std::string file = valueParam(rt, 1), target = valueParam(rt, 2);
  if (file.empty() || !files::exists(files::join(rt.state.paths.adventureFolder, file))) return;
  if (target.empty()) return;
  if (!text::contains(target, ".scp")) return continueAsGoto(rt, target);
  rt.interp.p = {};
  rt.interp.P(1) = target;
  continueAs(rt, "script\xA7");
}

const CommandEntry kCommands[] = {
    {"goto", gotoLabel},
    {"gosub", gosub},
    {"return", returnFromGosub},
    {"ret", returnFromGosub},
    {"script", scriptCmd},
    {"script\xA7", scriptFresh},
    {"fim", endRun},
    {"end", endRun},
    {"retscp=", retScp},
    {"retscp", retScp},
    {"recall", recallCmd},
    {"pausa=", pausa},
    {"pause=", pausa},
    {"pausa", pausa},
    {"pause", pausa},
    {"delay", delay},
    {"stop", stopForInput},
    {"break", stopForInput},
    {"runtime=", runtimeCmd},
    {"runtime", runtimeCmd},
    {"trigger", trigger},
    {"gatilho", trigger},
    {"trigger=", trigger},
    {"gatilho=", trigger},
    {"gettrig", getTrigger},
    {"getrig", getTrigger},
    {"proc", proc},
    {"proc=", proc},
    {"processa", proc},
    {"ifperg", ifQuestion},
    {"ifpergunta", ifQuestion},
    {"ifperg?", ifQuestion},
    {"ifperg=", ifQuestion},
    {"ifarq=", ifFile},
    {"ifarq", ifFile},
};

}  // namespace

void registerFlowCommands(CommandTable& table) { table.add(kCommands); }

}  // namespace corvant
