// saveregs, saveobjs, loadregs, reset.
#include "engine/commandtable.h"
#include "engine/linesyntax.h"
#include "engine/params.h"
#include "engine/scripterror.h"
#include "runtime/files.h"
#include "runtime/runtime.h"
#include "runtime/savedgame.h"
#include "text/numbers.h"
#include "text/strings.h"
#include "world/objects.h"

namespace corvant {
namespace {

std::string withRgs(std::string name) {
  if (!text::contains(name, ".rgs")) name += ".rgs";
  return name;
}

void saveregs(Runtime& rt) {
  std::string name = valueParam(rt, 1);
  if (name.empty()) name = rt.state.saveName();
  writeRegisters(rt.state, withRgs(name));
}

void saveobjs(Runtime& rt) { writeObjectRecords(rt.state); }

// Copies P4 + 1 lines of a register file, from line P3, into the registers
// from P2. The whole range is checked before anything changes, so a range
// that does not fit fails the run without leaving half-copied registers.
void loadregs(Runtime& rt) {
  GameState& s = rt.state;
  const std::string p1 = valueParam(rt, 1), p2 = valueParam(rt, 2), p3 = valueParam(rt, 3), p4 = valueParam(rt, 4);
  std::string& trace = rt.interp.trace;
  trace += p1 + "," + p2 + "," + p3 + "," + p4;

  if (p1.empty()) {
    const QString path = files::join(s.paths.adventureFolder, s.saveName() + ".rgs");
    auto lines = files::readLines(path);
    if (!lines) throw ScriptError("Cannot read the register file " + files::display(path));
    s.registers = std::move(*lines);
    return;
  }
  const QString path = files::join(s.paths.adventureFolder, withRgs(p1));
  if (!files::exists(path)) {
    trace += " <--- arquivo n\xE3o existe";
    return;
  }
  auto lines = files::readLines(path);
  if (!lines) throw ScriptError("Cannot read the register file " + files::display(path));
  const int total = static_cast<int>(lines->size());
  if (p2.empty()) return void(trace += " <--- n\xE3o definiu registrador inicial");
  auto first = text::parseInt(p2);
  if (!first) return void(trace += " <--- registrador inicial n\xE3o num\xE9rico");
  if (*first < 0 || *first > s.registerCount) return void(trace += " <--- registrador fora da faixa");
  auto from = text::parseInt(p3);
  if (!from) return void(trace += " <--- \xEDndice inicial n\xE3o num\xE9rico");
  if (*from < 0 || *from >= total) return void(trace += " <--- \xEDndice maior que total de linhas");
  auto count = text::parseInt(p4);
  if (!count) return void(trace += " <--- quantidade n\xE3o num\xE9rica");
  if (*count < 0 || *count > total) return void(trace += " <--- quantidade maior que total de linhas");

  const int64_t lastLine = int64_t{*from} + *count, lastReg = int64_t{*first} + *count;
  if (lastLine >= total)
    throw ScriptError("loadregs: line " + std::to_string(lastLine) + " is past the end of " + files::display(path) +
                      " (" + std::to_string(total) + " lines)");
  if (lastReg >= static_cast<int64_t>(s.registers.size()))
    throw ScriptError("loadregs: register " + std::to_string(lastReg) + " does not exist");
  for (int i = 0; i <= *count; ++i)
    s.registers[static_cast<size_t>(*first + i)] = (*lines)[static_cast<size_t>(*from + i)];
}

void clearUpTo(std::vector<std::string>& list, int registerCount) {
  if (registerCount < 0) return;
  if (list.size() < static_cast<size_t>(registerCount) + 1) list.resize(static_cast<size_t>(registerCount) + 1);
  for (int i = 0; i <= registerCount; ++i) list[static_cast<size_t>(i)].clear();
}

void reset(Runtime& rt) {
  GameState& s = rt.state;
  rt.interp.trace += rt.interp.P(1);
  const std::string what = valueParam(rt, 1), p2 = valueParam(rt, 2);
  if (what == "objs" || what == "obj") rebuildRecords(s, p2);
  if (what == "regs" || what == "reg") clearUpTo(s.registers, s.registerCount);
  if (what == "defs" || what == "nomeregs") clearUpTo(s.registerNames, s.registerCount);
  if (what == "mapa" && !p2.empty()) {
    const QString path = files::join(s.paths.adventureFolder, p2);
    if (files::exists(path)) files::remove(path);
  }
  if (what == "prms" || what == "param") s.link.clear();
}

const CommandEntry kCommands[] = {
    {"saveregs", saveregs},
    {"saveobjs", saveobjs},
    {"loadregs", loadregs},
    {"reset", reset},
};

}  // namespace

void registerSavedGameCommands(CommandTable& table) { table.add(kCommands); }

}  // namespace corvant
