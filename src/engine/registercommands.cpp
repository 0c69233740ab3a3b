// Register commands: setting, copying, arithmetic, names and engine variables.
#include <cstdint>
#include <random>

#include "engine/commandtable.h"
#include "engine/linesyntax.h"
#include "engine/params.h"
#include "engine/scripterror.h"
#include "engine/textcapture.h"
#include "runtime/files.h"
#include "runtime/runtime.h"
#include "runtime/savedgame.h"
#include "text/numbers.h"
#include "text/strings.h"

namespace corvant {
namespace {

using text::parseIntOr;

// 32-bit wrap-around, as the arithmetic of game scripts has always behaved.
int32_t wrap(int64_t v) { return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(v))); }

void regSet(Runtime& rt) {
  auto r = checkedRegister(rt, 1);
  if (!r) return;
  const std::string v = valueParam(rt, 2);
  reg(rt, *r) = v;
  rt.interp.trace += "," + v;
}

void regConcat(Runtime& rt) {
  auto r = checkedRegister(rt, 1);
  if (!r) return;
  const std::string v = substituteAllMarkers(valueParam(rt, 2), rt.state.modelo);
  reg(rt, *r) += v;
  rt.interp.trace += "," + v;
}

void regTrim(Runtime& rt) {
  auto r = checkedRegister(rt, 1);
  if (!r) return;
  std::string& v = reg(rt, *r);
  v = text::trim(v);
}

// The arithmetic family: register P1 op P2 with the operand's fallback.
enum class Op { Add, Sub, Mul, Div, Random };

int32_t operand(Runtime& rt, Op op) {
  const bool multiplicative = op == Op::Mul || op == Op::Div;
  return parseIntOr(valueParam(rt, 2), multiplicative ? 1 : 0);
}

int32_t randomUpTo(int32_t bound) {
  static std::mt19937 generator{std::random_device{}()};
  // A negative bound draws from bound..0, so the register can go down too.
  std::uniform_int_distribution<int32_t> d(std::min(bound, 0), std::max(bound, 0));
  return d(generator);
}

void arithmetic(Runtime& rt, Op op) {
  auto r = checkedRegister(rt, 1);
  if (!r) return;
  const int32_t b = operand(rt, op);
  rt.interp.trace += "," + std::to_string(b);
  std::string& cell = reg(rt, *r);
  const int64_t a = parseIntOr(cell, 0);
  int64_t result = 0;
  switch (op) {
    case Op::Add: result = a + b; break;
    case Op::Sub: result = a - b; break;
    case Op::Mul: result = a * b; break;
    case Op::Random: result = a + randomUpTo(b); break;
    case Op::Div:
      if (b == 0) throw ScriptError("Division by zero (register " + std::to_string(*r) + ")");
      result = a / b;  // truncates toward zero; INT_MIN / -1 wraps like the rest
      break;
  }
  cell = std::to_string(wrap(result));
}

void regAdd(Runtime& rt) { arithmetic(rt, Op::Add); }
void regSub(Runtime& rt) { arithmetic(rt, Op::Sub); }
void regMul(Runtime& rt) { arithmetic(rt, Op::Mul); }
void regDiv(Runtime& rt) { arithmetic(rt, Op::Div); }
void regRandom(Runtime& rt) { arithmetic(rt, Op::Random); }

void step(Runtime& rt, int delta) {
  auto r = checkedRegister(rt, 1);
  if (!r) return;
  std::string& cell = reg(rt, *r);
  cell = std::to_string(wrap(int64_t{parseIntOr(cell, 0)} + delta));
}
void regInc(Runtime& rt) { step(rt, 1); }
void regDec(Runtime& rt) { step(rt, -1); }

void regFraction(Runtime& rt) {
  auto r = checkedRegister(rt, 1);
  if (!r) return;
  const std::string p2 = valueParam(rt, 2);
  const double divisor = p2.empty() ? 1.0 : text::parseDecimal(p2).value_or(1.0);
  rt.interp.trace += "," + text::formatGeneral(divisor);
  if (divisor == 0) throw ScriptError("Division by zero (register " + std::to_string(*r) + ")");
  std::string& cell = reg(rt, *r);
  cell = text::formatGeneral(parseIntOr(cell, 0) / divisor);
}

// dup/copy and swap/trocar: k registers from b onto a, one at a time upward.
void copyRange(Runtime& rt, bool exchange) {
  const int a0 = parseIntOr(numberParam(rt, 1), 0);
  const int b0 = parseIntOr(numberParam(rt, 2), 0);
  const std::string p3 = exchange ? rt.interp.P(3) : valueParam(rt, 3);
  const int k = parseIntOr(p3, 1);
  rt.interp.trace += std::to_string(a0) + "," + std::to_string(b0);
  if (a0 > rt.state.registerCount) return void(rt.interp.trace += " <--- registrador 1 fora de faixa");
  if (b0 > rt.state.registerCount) return void(rt.interp.trace += " <--- registrador 2 fora de faixa");
  for (int i = 0; i < k; ++i) {
    std::string& to = reg(rt, a0 + i);
    std::string& from = reg(rt, b0 + i);
    if (exchange) std::swap(to, from);
    else to = from;
  }
}
void regDup(Runtime& rt) { copyRange(rt, false); }
void regSwap(Runtime& rt) { copyRange(rt, true); }

void regTextSet(Runtime& rt) { captureText(rt, CaptureMode::RegisterReplace); }
void regTextAppend(Runtime& rt) { captureText(rt, CaptureMode::RegisterAppend); }

void regIndirectSet(Runtime& rt) {
  const int a = parseIntOr(valueParam(rt, 1), 0), b = parseIntOr(valueParam(rt, 2), 0);
  rt.interp.trace += std::to_string(a) + "," + std::to_string(b);
  const std::string v = reg(rt, b);
  reg(rt, a) = v;
}

void regIndirectAppend(Runtime& rt) {
  const int a = parseIntOr(valueParam(rt, 1), 0), b = parseIntOr(valueParam(rt, 2), 0);
  rt.interp.trace += std::to_string(a) + "," + std::to_string(b);
  const std::string v = reg(rt, b);
  reg(rt, a) += v;
}

void clearRegs(Runtime& rt) {
  for (int i = 0; i < rt.state.registerCount; ++i) reg(rt, i).clear();
}

void convMoney(Runtime& rt) {
  std::string& cell = reg(rt, parseIntOr(valueParam(rt, 1), 0));
  const std::string money = text::formatMoney(text::parseDecimal(cell).value_or(0.0));
  cell = "R$ " + (money.empty() ? std::string("0") : money);
}

void getVar(Runtime& rt) {
  auto r = checkedRegister(rt, 1);
  if (!r) return;
  const GameState& s = rt.state;
  const std::string name = valueParam(rt, 2);
  std::string value;
  if (name == "Modelo" || name == "Model") value = s.modelo;
  else if (name == "Script") value = s.script;
  else if (name == "IniScp") value = s.iniScp;
  else if (name == "RetScp") value = s.retScp;
  else if (name == "Posic") value = s.posic;
  else if (name == "Objeto") value = s.objeto;
  rt.interp.trace += "," + value;
  if (value.empty()) return void(rt.interp.trace += " <--- vari\xE1vel desconhecida");
  reg(rt, *r) = value;
}

void getParam(Runtime& rt) {
  auto r = checkedRegister(rt, 1);
  if (!r) return;
  const std::string which = valueParam(rt, 2);
  rt.interp.trace += "," + which;
  const LinkParams& link = rt.state.link;
  if (which == "prm" || which == "Prm") reg(rt, *r) = link.prm;
  else if (which == "prx" || which == "Prx") reg(rt, *r) = link.prx;
  else if (which == "pry" || which == "Pry") reg(rt, *r) = link.pry;
  else rt.interp.trace += " <--- par\xE2metro desconhecido";
}

// Names a register and writes the whole name list at once, so names survive
// even a run that fails later.
void defReg(Runtime& rt) {
  GameState& s = rt.state;
  const std::string p1 = rt.interp.P(1).empty() ? "0" : rt.interp.P(1);
  std::string name = rt.interp.P(2);
  if (name.empty()) name = "reg" + p1;
  const int n = parseIntOr(p1, 0);
  rt.interp.trace += p1 + "," + name;
  if (n < 0 || static_cast<size_t>(n) >= s.registerNames.size())
    throw ScriptError("Register " + std::to_string(n) + " cannot be named: the name list has " +
                      std::to_string(s.registerNames.size()) + " entries");
  s.registerNames[static_cast<size_t>(n)] = name;
  const QString path = files::join(s.paths.adventureFolder, s.saveName() + ".nrg");
  const std::string err = files::writeLines(path, s.registerNames);
  if (!err.empty()) throw ScriptError("Cannot write " + files::display(path) + ": " + err);
}

void clearNames(Runtime& rt) {
  rt.state.registerNames.assign(static_cast<size_t>(std::max(rt.state.registerCount, -1) + 1), std::string());
}

const CommandEntry kCommands[] = {
    {"reg=", regSet},
    {"dup", regDup},
    {"copy", regDup},
    {"swap", regSwap},
    {"trocar", regSwap},
    {"reg$", regConcat},
    {"concat", regConcat},
    {"trim", regTrim},
    {"regtxt=", regTextSet},
    {"regtxt+", regTextAppend},
    {"reg-", regSub},
    {"dec", regDec},
    {"reg+", regAdd},
    {"inc", regInc},
    {"reg*", regMul},
    {"reg/", regDiv},
    {"reg:", regFraction},
    {"reg?", regRandom},
    {"regind=", regIndirectSet},
    {"regind+", regIndirectAppend},
    {"clearregs", clearRegs},
    {"ckearegs", clearRegs},
    {"convreg$", convMoney},
    {"getvar=", getVar},
    {"getvar", getVar},
    {"param=", getParam},
    {"defreg", defReg},
    {"defreg=", defReg},
    {"regnome=", defReg},
    {"regname=", defReg},
    {"regnome", defReg},
    {"regname", defReg},
    {"clearnomeregs", clearNames},
};

}  // namespace

void registerRegisterCommands(CommandTable& table) { table.add(kCommands); }

}  // namespace corvant
