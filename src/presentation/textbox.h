#pragma once
// Text boxes: a text laid out word by word on a picture, wrapped at the
// box's right edge, broken at "§", with inline links written
// "@label|target|" that are drawn underlined and become link records.
#include <string>
#include <string_view>
#include <vector>

namespace corvant {

struct Runtime;

// The pictures a text box can be drawn on. The picture screen and the
// command panel receive the text in their back buffers; the others on the
// picture itself. The page picture grows downward to hold what is drawn.
enum class TextBoxTarget { Tela, TelMod3, TelCmd, Imp, MapJog };

struct TextBox {
  std::string text;             // "$": the memo text; blank: "Sem texto."
  std::string colour;           // RRGGBB; empty: the text colour
  std::string style;            // "B", "I", "U" by position; empty: "biu"
  std::string boxColour = "0";  // RRGGBB filled behind the text; "0" or empty: none
  int x = -1, y = -1;           // -1: the page text cursor's x or y
  int width = 0, height = 0;    // 0: up to the target's right or bottom edge
  int fontSize = 0;             // points; 0: the size of the text settings
};

// The text cut into what the layout places one after another: words with
// their trailing blank, "§" alone when it starts a word, and links as
// "@label|target" (the closing "|" dropped, unless the link ends the text).
std::vector<std::string> textBoxTokens(std::string_view text);

// Draws the box and leaves the page text cursor's y under its last line.
// Colour strings that do not convert fail the run. Does nothing without the
// main window.
void drawTextBox(Runtime& rt, const TextBox& box, TextBoxTarget target);

// The page picture lengthened to `height` when it is shorter; the new rows
// take the background colour.
void growPagePicture(Runtime& rt, int height);

// Model "4": a text box on the monitor back buffer, in monitor pixels. The
// font size is in points before scaling; the text settings give colour,
// face and style; nothing is filled; what does not fit in the height is
// left out. The text cursor does not move.
struct MonitorTextBox {
  std::string text;  // "$": the memo text
  int x = 0, y = 0, width = 0, height = 0;
  int fontSize = 0;
};
void drawMonitorTextBox(Runtime& rt, const MonitorTextBox& box);

}  // namespace corvant
