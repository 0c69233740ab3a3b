#pragma once
// Capturing the lines of a quoted text into a register: `regtxt=`/`regtxt+`
// and the language-dependent captures (`ifen=` and its sisters).
namespace corvant {

struct Runtime;

enum class CaptureMode { RegisterReplace, RegisterAppend };
enum class CaptureStyle {
  // "#" + number pieces read a register; "~" and "^" are replaced.
  Registers,
  // Every piece is text; "§" is replaced as well.
  Language,
};

// Register P1 receives the text from P2 up to the line holding the closing
// apostrophe; the line index moves to that line.
void captureText(Runtime& rt, CaptureMode mode, CaptureStyle style = CaptureStyle::Registers);

}  // namespace corvant
