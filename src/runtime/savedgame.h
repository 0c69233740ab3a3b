#pragma once
// The saved game: five files in the adventure folder named after the save
// name. Written after every completed run and at shutdown, read back when the
// player starts the game.
#include <string>
#include <vector>

#include "runtime/gamestate.h"

namespace corvant {

// Reads the configuration, registers, register names, object list and object
// records under `saveName`. Everything is read before anything is replaced:
// when a required file is missing or unreadable the state is left exactly as
// it was and the error text (naming the file) is returned. Empty on success.
std::string loadGame(GameState& s, const std::string& saveName);

// ".rgs" and ".obx" after a completed run; fails the run when a file cannot be
// written. Does nothing before a game has been loaded.
void saveAfterRun(const GameState& s);

// The saved-game part of shutdown. Returns the errors met (one per file).
std::vector<std::string> saveAtShutdown(const GameState& s);

// Writes the registers to adventure folder + fileName; fails the run on error.
void writeRegisters(const GameState& s, const std::string& fileName);
void writeObjectRecords(const GameState& s);

// "file:///" + the folder as an address, for links in the HTML page.
std::string fileBaseFor(const QString& folder);

}  // namespace corvant
