#pragma once
// The main window's layout: what a loaded game's configuration makes of the
// component tree.
#include <QColor>
#include <QFont>

#include <optional>
#include <string>
#include <vector>

namespace corvant {

struct Runtime;
class TForm1;

// The viewport page that shows a screen model ("4" uses the picture page).
int viewportPageFor(const std::string& model);

// A colour string as a colour; nothing when it is malformed.
std::optional<QColor> tryColour(const std::string& colourString);
// A colour string as a colour; empty or malformed gives the fallback.
QColor colourOr(const std::string& colourString, QColor fallback);
// The background and text colours of the text settings (black and white
// when unset), and the general font with its style flags.
QColor backgroundColour(const Runtime& rt);
QColor textColour(const Runtime& rt);
QFont generalFont(const Runtime& rt);
// The text settings from the configuration: all of them as a game starts,
// all but the link colours at every fresh run.
enum class LinkColours { Load, Keep };
void loadTextSettings(Runtime& rt, LinkColours links);

// A style flags string read by position: "B" bold, "I" italic, "U" underline.
void applyStyleFlags(QFont& font, const std::string& flags);

// Reads configuration numbers and colours for the layout, collecting a
// message (file line and value) for each that does not convert; the caller
// shows them once. Defaults are used in their place, and for empty lines.
class LayoutReader {
 public:
  explicit LayoutReader(const Runtime& rt) : rt_(rt) {}
  int number(int index, int fallback);
  QColor colour(int index, QColor fallback = Qt::black);
  QFont font(int nameIndex, int sizeIndex, int styleIndex);
  const std::vector<std::string>& problems() const { return problems_; }

 private:
  const Runtime& rt_;
  std::vector<std::string> problems_;
};

// The layout applied when a game is loaded. Returns the configuration values
// that did not convert.
std::vector<std::string> applyLayoutAtGameLoad(Runtime& rt, TForm1& w);

// Cuts the window to its background picture: magenta pixels are holes.
void shapeWindow(TForm1& w);

// What a script asks of model "4": the logical screen size and the
// letterbox colour (empty: 640, 420 and the background colour).
struct MonitorRequest {
  std::string width, height, colour;
};

// Makes `model` the current screen model and lays the window out for it.
void applyScreenModel(Runtime& rt, TForm1& w, const std::string& model, const MonitorRequest& monitor = {});
// Before each fresh run (flag on, model not "4"): the active viewport page
// and the panel and command line return to the configured layout.
void autoRelayout(Runtime& rt, TForm1& w);

// Model "4": the logical screen fitted onto a monitor of W x H pixels.
struct MonitorFit {
  double scale;
  int width, height;  // picture size
  int left, top;      // offsets of the picture
};
MonitorFit fitMonitor(int logicalWidth, int logicalHeight, int monitorWidth, int monitorHeight);

}  // namespace corvant
