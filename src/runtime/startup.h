#pragma once
// Start-up and shutdown steps that need no window.
#include <QString>
#include <QStringList>

#include <string>
#include <vector>

#include "runtime/gamestate.h"

namespace corvant {

struct LaunchOptions {
  QString gameFolder;  // ends in "/"
  QString gameName;
  QString commandArg;
  QString traceFile;
  bool changeDirectory = false;  // started as `corvant path/name.ini`
  bool startAtOnce = false;      // --start: as if the opening picture were clicked
  QString error;                 // a usage problem, shown instead of starting
};

// `corvant [--trace FILE] [path/name.ini] [argument]`. Without an ".ini" the
// game is the executable's own folder and name (a trailing ".exe" dropped).
LaunchOptions parseLaunch(const QStringList& args, const QString& executablePath);

// The volume serial stand-in: the file-system id of the game folder, masked,
// followed by "-571".
std::string machineIdentifier(const QString& folder);

struct StartupMessage {
  bool fatal;
  std::string text;
};

// Reads the configuration file (game folder + game name + ".ini") and pads it
// to 110 lines, then takes the register count and state variables from it.
// A missing file is fatal; a value that does not convert is reported and its
// default kept.
std::vector<StartupMessage> readConfiguration(GameState& s);

// Checks the numbers the layout needs (indexes 11 and 12); reports and
// returns the defaults for values that do not convert.
struct WindowSize {
  int width = 900, height = 420;
};
WindowSize configuredWindowSize(const GameState& s, std::vector<StartupMessage>& messages);

// The state written into the configuration list at shutdown, then the
// configuration file and the saved-game files. Returns the errors met.
struct WindowGeometry {
  int left = 0, top = 0, width = 0, height = 0;
};
std::vector<std::string> shutdownSave(GameState& s, const WindowGeometry& g);

}  // namespace corvant
