#include "engine/textblock.h"

#include "engine/linesyntax.h"
#include "engine/scripterror.h"
#include "presentation/htmlpage.h"
#include "presentation/textoutput.h"
#include "runtime/runtime.h"
#include "text/strings.h"

namespace corvant {

void runTextBlock(Runtime& rt, const std::string& firstLine) {
  GameState& s = rt.state;
  std::string piece = substituteAllMarkers(std::string_view(firstLine).substr(1), s.modelo);
  std::string collected;
  while (piece.find('\'') == std::string::npos) {
    if (!piece.empty() && piece[0] == '#' && s.modelo == "2") piece = html::inlineElement(s, piece);
    collected += piece + " ";
    ++s.lineIndex;
    if (static_cast<size_t>(s.lineIndex) >= s.lines.size())
      throw ScriptError("A text block is not closed: the script ends before the closing apostrophe");
    piece = substituteAllMarkers(text::trim(s.lines[static_cast<size_t>(s.lineIndex)]), s.modelo);
  }
  collected += piece.substr(0, piece.find('\''));
  writeText(rt, collected);
  rt.interp.trace += piece;
  // The line after the block is interpreted at once; a block closed on the
  // last line has none, which fails the run.
  ++s.lineIndex;
  rt.interp.chainNext = true;
}

}  // namespace corvant
