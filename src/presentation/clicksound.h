#pragma once
// The short wave played when a button or an area is pressed.
#include <string>

namespace corvant {

struct Runtime;

// Plays the wave named as the game wrote it (relative to the working
// directory, which is the game folder), replacing one still playing.
// Nothing happens for an empty name or when configuration index 82 is "*"
// (the game turned click sounds off).
void playClickSound(Runtime& rt, const std::string& file);

}  // namespace corvant
