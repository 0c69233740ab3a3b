#pragma once
// Parameter helpers shared by every command: the "$" + name substitutions.
#include <optional>
#include <string>

namespace corvant {

struct Runtime;
struct GameState;

// The register carrying `name`, searched from 0 to the register count.
std::optional<int> registerByName(const GameState& s, const std::string& name);
// "$" + name: the number form gives the register's number, the value form
// its content; a name no register carries gives the name itself. Other texts
// are returned unchanged.
std::string numberForm(const GameState& s, const std::string& param);
std::string valueForm(const GameState& s, const std::string& param);

// P(n) after the value / number form.
std::string valueParam(const Runtime& rt, int n);
std::string numberParam(const Runtime& rt, int n);

// A register number from a parameter already substituted: empty counts as
// "0", text that does not convert as 0.
int registerNumber(const std::string& param);
// The range check most register commands use: the number (from the number
// form of P(n)) goes to the trace; above the register count the trace gets
// " <--- registrador fora de faixa" and the result is empty. A negative
// number passes and fails later, when the register is used.
std::optional<int> checkedRegister(Runtime& rt, int n);
// Register n for reading or writing; a number outside the list fails the run.
std::string& reg(Runtime& rt, int n);

}  // namespace corvant
