#include "engine/textcapture.h"

#include "engine/linesyntax.h"
#include "engine/params.h"
#include "runtime/runtime.h"
#include "text/numbers.h"
#include "text/strings.h"

namespace corvant {
namespace {

std::string markers(const std::string& piece, CaptureStyle style, const std::string& model) {
  std::string t = piece;
  if (style == CaptureStyle::Language) t = substituteMarker(kMarkerBreak, t, model);
  t = substituteMarker(kMarkerBlank, t, model);
  return substituteMarker(kMarkerComma, t, model);
}

std::string registerPiece(const Runtime& rt, const std::string& piece) {
  auto n = text::parseInt(std::string_view(piece).substr(1));
  if (!n || *n < 0 || *n > rt.state.registerCount || static_cast<size_t>(*n) >= rt.state.registers.size())
    return {};
  return rt.state.registers[static_cast<size_t>(*n)];
}

}  // namespace

void captureText(Runtime& rt, CaptureMode mode, CaptureStyle style) {
  auto r = checkedRegister(rt, 1);
  if (!r) return;
  GameState& s = rt.state;
  std::string p2 = valueParam(rt, 2);
  if (!p2.empty() && p2[0] == '\'') p2.erase(0, 1);
  std::string captured = mode == CaptureMode::RegisterAppend ? reg(rt, *r) : std::string();
  std::string piece = text::trim(p2);
  while (piece.find('\'') == std::string::npos) {
    if (style == CaptureStyle::Registers && !piece.empty() && piece[0] == '#') piece = registerPiece(rt, piece);
    captured += markers(piece, style, s.modelo) + " ";
    ++s.lineIndex;
    if (s.lineIndex < 0 || static_cast<size_t>(s.lineIndex) >= s.lines.size()) {
      piece = "'";
      break;
    }
    piece = text::trim(s.lines[static_cast<size_t>(s.lineIndex)]);
  }
  std::string last = piece.substr(0, piece.find('\''));
  if (style == CaptureStyle::Language) last = markers(last, style, s.modelo);
  captured += last;
  reg(rt, *r) = captured;
  rt.interp.trace += "," + piece.substr(0, 5) + "...";
}

}  // namespace corvant
