#include "engine/params.h"

#include <charconv>

#include "engine/linesyntax.h"
#include "runtime/runtime.h"
#include "text/numbers.h"
#include "text/strings.h"

namespace corvant {

std::optional<int> registerByName(const GameState& s, const std::string& name) {
  const size_t last = std::min(s.registerNames.size(), static_cast<size_t>(std::max(s.registerCount, -1) + 1));
  for (size_t i = 0; i < last; ++i)
    if (s.registerNames[i] == name) return static_cast<int>(i);
  return std::nullopt;
}

std::string numberForm(const GameState& s, const std::string& param) {
  if (param.empty() || param[0] != '$') return param;
  const std::string name = text::trim(std::string_view(param).substr(1));
  auto n = registerByName(s, name);
  return n ? std::to_string(*n) : name;
}

std::string valueForm(const GameState& s, const std::string& param) {
  if (param.empty() || param[0] != '$') return param;
  const std::string name = text::trim(std::string_view(param).substr(1));
  auto n = registerByName(s, name);
  return n ? registerAt(s.registers, *n) : name;
}

int registerNumber(const std::string& param) { return text::parseIntOr(param, 0); }

std::optional<int> checkedRegister(Runtime& rt, int n) {
  const int r = registerNumber(numberParam(rt, n));
  char digits[16];
  rt.interp.trace.append(digits, std::to_chars(digits, digits + sizeof digits, r).ptr);
  if (r > rt.state.registerCount) {
    rt.interp.trace += " <--- registrador fora de faixa";
    return std::nullopt;
  }
  return r;
}

std::string& reg(Runtime& rt, int n) {
  registerAt(rt.state.registers, n);  // fails the run when there is no such register
  return rt.state.registers[static_cast<size_t>(n)];
}

std::string valueParam(const Runtime& rt, int n) { return valueForm(rt.state, rt.interp.P(n)); }
std::string numberParam(const Runtime& rt, int n) { return numberForm(rt.state, rt.interp.P(n)); }

}  // namespace corvant
