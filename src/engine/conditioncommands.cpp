// Conditions over registers and the screen model. Jump conditions continue
// as `goto`; execution conditions dispatch the command embedded in their own
// parameters (which may be another condition).
#include "engine/commandtable.h"
#include "engine/driver.h"
#include "engine/params.h"
#include "runtime/runtime.h"
#include "text/numbers.h"

namespace corvant {
namespace {

using text::parseIntOr;

enum class Test { Equal, Differ, Greater, Less };

bool holds(Test t, const std::string& cell, const std::string& operand) {
  switch (t) {
    case Test::Equal: return cell == operand;
    case Test::Differ: return cell != operand;
    case Test::Greater: return parseIntOr(cell, 0) > parseIntOr(operand, 0);
    case Test::Less: return parseIntOr(cell, 0) < parseIntOr(operand, 0);
  }
  return false;
}

// Texts compared by their byte codes, a prefix being the smaller.
bool between(const std::string& low, const std::string& value, const std::string& high) {
  auto less = [](const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return static_cast<unsigned char>(x) < static_cast<unsigned char>(y); });
  };
  return !less(value, low) && !less(high, value);
}

void jump(Runtime& rt, bool taken, const std::string& label) {
  rt.interp.trace += taken ? " <- saltou" : " <- n\xE3o saltou";
  if (taken) continueAsGoto(rt, label);
}

// The embedded command: P(first) is its word, the parameters after it move up.
void execute(Runtime& rt, const std::array<std::string, 9>& params, int first) {
  Interpreter& in = rt.interp;
  const std::string word = params[static_cast<size_t>(first - 1)];
  in.p = {};
  for (int i = first; i < 9; ++i) in.p[static_cast<size_t>(i - first)] = params[static_cast<size_t>(i)];
  in.trace = "Exec: " + word + " ";
  continueAs(rt, word);
}

std::array<std::string, 9> valueParams(const Runtime& rt) {
  std::array<std::string, 9> v;
  for (int i = 1; i <= 9; ++i) v[static_cast<size_t>(i - 1)] = valueParam(rt, i);
  return v;
}

std::string orZero(const std::string& s) { return s.empty() ? "0" : s; }

// Notes of the two range tests: low+high,P4 then the bounds as numbers, then
// the remaining parameters.
void traceRange(Runtime& rt, const std::array<std::string, 9>& v, const std::string& low, const std::string& high) {
  rt.interp.trace += low + "+" + high + "," + v[3] + "," + std::to_string(parseIntOr(low, 0)) + "," +
                     std::to_string(parseIntOr(high, 0)) + ",";
  for (int i = 3; i < 9; ++i) rt.interp.trace += "," + v[static_cast<size_t>(i)];
}

void ifModel(Runtime& rt) {
  std::string model = valueParam(rt, 1);
  if (model.empty()) model = "1";
  rt.interp.trace += model;
  jump(rt, rt.state.modelo == model, valueParam(rt, 2));
}

template <Test T>
void ifReg(Runtime& rt) {
  auto r = checkedRegister(rt, 1);
  if (!r) return;
  const std::string operand = valueParam(rt, 2), label = valueParam(rt, 3);
  std::string& trace = rt.interp.trace;
  trace += ',';
  trace += operand;
  trace += ',';
  trace += label;
  jump(rt, holds(T, reg(rt, *r), operand), label);
}

void ifRegRange(Runtime& rt) {
  auto r = checkedRegister(rt, 1);
  if (!r) return;
  const auto v = valueParams(rt);
  const std::string low = orZero(v[1]), high = orZero(v[2]);
  traceRange(rt, v, low, high);
  if (between(low, reg(rt, *r), high)) continueAsGoto(rt, v[3]);
}

template <Test T>
void ifExec(Runtime& rt) {
  auto r = checkedRegister(rt, 1);
  if (!r) return;
  const auto v = valueParams(rt);
  rt.interp.trace += "," + v[1] + "+" + v[2];
  for (int i = 3; i < 9; ++i) rt.interp.trace += "," + v[static_cast<size_t>(i)];
  if (holds(T, reg(rt, *r), v[1])) execute(rt, v, 3);
}

void ifExecRange(Runtime& rt) {
  auto r = checkedRegister(rt, 1);
  if (!r) return;
  const auto v = valueParams(rt);
  const std::string low = orZero(v[1]), high = orZero(v[2]);
  traceRange(rt, v, low, high);
  if (between(low, reg(rt, *r), high)) execute(rt, v, 4);
}

template <char Model>
void ifMod(Runtime& rt) {
  const auto v = valueParams(rt);
  if (rt.state.modelo == std::string(1, Model)) execute(rt, v, 1);
}

// Conditions for other editions of the kit; this runtime's edition is "jog",
// so they only trace.
void ifEdition(Runtime& rt) {
  const auto v = valueParams(rt);
  for (size_t i = 0; i < v.size(); ++i) rt.interp.trace += (i ? "," : "") + v[i];
}

const CommandEntry kCommands[] = {
    {"ifmodo=", ifModel},
    {"ifmodelo=", ifModel},
    {"ifreg=", ifReg<Test::Equal>},
    {"ifreg#", ifReg<Test::Differ>},
    {"ifreg>", ifReg<Test::Greater>},
    {"ifreg<", ifReg<Test::Less>},
    {"ifreg~", ifRegRange},
    {"ifmod0", ifMod<'0'>},
    {"ifmod1", ifMod<'1'>},
    {"ifmod2", ifMod<'2'>},
    {"ifmod3", ifMod<'3'>},
    {"ifmod4", ifMod<'4'>},
    {"if=", ifExec<Test::Equal>},
    {"if#", ifExec<Test::Differ>},
    {"if>", ifExec<Test::Greater>},
    {"if<", ifExec<Test::Less>},
    {"if~", ifExecRange},
    {"ifma=", ifEdition},
    {"ifkor=", ifEdition},
};

}  // namespace

void registerConditionCommands(CommandTable& table) { table.add(kCommands); }

}  // namespace corvant
