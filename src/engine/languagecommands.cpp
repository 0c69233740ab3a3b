// putlng, getlng: the language the game's own texts are shown in.
#include <array>
#include <string_view>

#include "engine/commandtable.h"
#include "engine/params.h"
#include "runtime/runtime.h"

namespace corvant {
namespace {

// The codes games are written for; "br" and "pt" are kept apart because the
// two spellings differ. Codes are compared exactly: an upper-case code is a
// typing error the author should see in the trace.
constexpr std::array<std::string_view, 5> kLanguages = {"br", "pt", "en", "fr", "es"};

void putlng(Runtime& rt) {
  const std::string code = valueParam(rt, 1);
  rt.interp.trace += code;
  for (std::string_view known : kLanguages) {
    if (code == known) {
      rt.state.language = code;
      return;
    }
  }
  rt.interp.trace += " <- este idioma n\xE3o \xE9 reconhecido";
}

void getlng(Runtime& rt) {
  const std::string given = numberParam(rt, 1);
  const std::string p1 = given.empty() ? std::string("0") : given;
  reg(rt, registerNumber(p1)) = rt.state.language;
  std::string& trace = rt.interp.trace;
  trace += p1;
  trace += " = ";
  trace += rt.state.language;
}

const CommandEntry kCommands[] = {
    {"putlng", putlng},
    {"getlng", getlng},
};

}  // namespace

void registerLanguageCommands(CommandTable& table) { table.add(kCommands); }

}  // namespace corvant
