#pragma once
// Everything the main window owns, as plain data without widgets, so most
// engine code and tests need no window.
#include <QString>

#include <array>
#include <string>
#include <vector>

#include "engine/linelist.h"
#include "presentation/linktable.h"
#include "media/soundslots.h"
#include "runtime/config.h"
#include "runtime/textsettings.h"

namespace corvant {

// Folders are native paths ending in "/" (or empty, meaning the working
// directory). Names that scripts give are Windows-1252 text joined onto them.
struct Paths {
  QString gameFolder;
  QString adventureFolder;  // empty until the first game load
  QString graphicsFolder;
  std::string gameName;
  std::string saveName;
  std::string fileBase;  // "file:///..." prefix of links in the HTML page
  std::string machineId;
  std::string commandArg;  // first program argument; "xz" selects two monitors
};

struct LinkParams {
  std::string prm, prx, pry, ptx, pty;
  void clear() { *this = LinkParams{}; }
};

enum class Direction { North, South, East, West, Up, Down, In, Out };
constexpr int kDirectionCount = 8;

struct GameState {
  Paths paths;
  ConfigList config;

  // State variables carried in the configuration file.
  std::string iniScp = "start";
  std::string script = "start";
  std::string retScp = "start";
  std::string objeto;
  std::string posic;
  std::string modelo = "1";
  int registerCount = 250;
  std::string language;
  std::string vocabularyScript;  // the command line's vocabulary (index 17)
  bool autoRelayout = true;
  std::string carriedValue;

  const std::string& saveName() const { return paths.saveName; }
  // IniScp, Script, RetScp, Objeto and Posic from configuration lines 6 to 10.
  void takeScriptVariables() {
    iniScp = config.at(cfg::kIniScp);
    script = config.at(cfg::kScript);
    retScp = config.at(cfg::kRetScp);
    objeto = config.at(cfg::kObjeto);
    posic = config.at(cfg::kPosic);
  }

  // Registers 0..registerCount and their names (the saved ".rgs"/".nrg").
  std::vector<std::string> registers;
  std::vector<std::string> registerNames;
  // Object keys (".obz") and the flat records, eight lines per object (".obx").
  std::vector<std::string> objectList;
  std::vector<std::string> objectRecords;
  std::array<std::string, kDirectionCount> exits;

  // Execution driver state; every run, nested or not, shares it.
  LineList lines;
  int lineIndex = 0;
  bool runInProgress = false;
  std::string returnScript;
  int returnLine = -1;
  int recallCountdown = 0;  // half-seconds
  std::string recallScript;
  int triggerCountdown = 0;
  std::string triggerScript;
  std::string timerScript;
  std::string visitLogName;
  int lastPressX = 0;
  int lastPressY = 0;
  LinkParams link;
  LinkTable links;
  // The game screen's click script and the picture `tela=` last showed.
  std::string clickScript;
  // How model "0" writes text ("", "scrollup", "direct", "down", "botton",
  // "direto") and the scale of the monitor picture in model "4".
  std::string textEffect;
  double scale = 1.0;
  // The logical screen model "4" fits onto the monitor.
  int logicalWidth = 640, logicalHeight = 420;
  // Where the model 3 page receives its next text or picture.
  int pageWriteX = 0, pageWriteY = 0;
  std::string screenPicture;
  // The lines the HTML page of model "2" is written from, and the closing
  // tags of the styles its header opened.
  std::vector<std::string> pageBuffer;
  std::string pageStyleCloser;
  // The page's length when it was last completed: a run that added nothing
  // (a timer tick) leaves the shown page alone.
  size_t pageCompletedLength = 0;
  bool questionFlag = false;
  // The key held in the main window (a virtual-key code, 0 for none) and the
  // button word of the last press on the game screen ("btlf", "btmd", "btrg").
  int heldKey = 0;
  std::string pressButton;

  // Text stores: the text buffer and the memo text (lines joined by CR LF).
  TextSettings text;
  DecorationState decoration;
  // The six sound slots: names, loop flags, levels and started marks.
  media::SoundSlots soundSlots;
  // The text size the last text box of `display=` used; the next one's
  // default height.
  int textSize = 0;
  // The two hidden text stores: the text buffer that model "1" collects text
  // blocks in, and the memo text of models "3" and "4".
  std::string textBuffer;
  std::string memoText;
  int typingDelay = 7;

  // True once a game load has completed; until then nothing may overwrite the
  // saved-game files, because the lists do not hold a real game.
  bool gameLoaded = false;
  // True once the configuration file has been read.
  bool configLoaded = false;
  // A game load that failed: shutdown then writes nothing, so the files on
  // disk keep the last good game.
  bool loadFailed = false;
};

}  // namespace corvant
