#include "presentation/textoutput.h"

#include "presentation/htmlpage.h"
#include "presentation/textmode.h"
#include "runtime/runtime.h"

namespace corvant {

void appendStoreLine(std::string& store, const std::string& line) {
  if (!store.empty()) store += "\r\n";
  store += line;
}

void writeText(Runtime& rt, const std::string& text) {
  GameState& s = rt.state;
  if (s.modelo == "0") textModeOutput(rt, text);
  else if (s.modelo == "1") appendStoreLine(s.textBuffer, text);
  else if (s.modelo == "2") html::convertMessage(s, text);
  else if (s.modelo == "3" || s.modelo == "4") appendStoreLine(s.memoText, text);
}

}  // namespace corvant
