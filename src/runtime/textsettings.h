#pragma once
// The text settings every text surface shares: the general font and the
// four colours, as the game's colour strings (RRGGBB), plus the alignment
// and the link-drawing settings of text boxes.
#include <string>

namespace corvant {

struct TextSettings {
  std::string fontFace;
  int fontSize = 12;
  bool bold = false, italic = false, underline = false;
  std::string textColour = "FFFFFF";
  std::string backgroundColour = "000000";
  std::string linkColour = "FFFF00";
  std::string visitedColour = "FFFF00";
  // "left", "center" or "right": the text-mode page, the message strip and
  // the subtitle follow it.
  std::string alignment = "left";
  // Text boxes: line height in pixels (0: automatic), underline offset of
  // links, and the line width of link underlines. Reset at every fresh run.
  int lineHeight = 0;
  int underlineOffset = 0;
  int linkLineSize = 1;

  // The page's pixel size of a point size, also the automatic line height.
  static int pixelSize(int points) { return points + points / 2; }
};

// What the overlay and scroll commands remember from one run to the next.
struct DecorationState {
  // While on, every presentation stamps the overlay picture at
  // (overlayX, overlayY) before the screen is shown.
  bool overlayOn = false;
  int overlayX = 0, overlayY = 0;
  // Whether the last scroll command was `rollon`.
  bool rolling = false;
};

}  // namespace corvant
