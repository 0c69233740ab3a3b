#pragma once
// The overlay picture stamped onto the screen at every presentation, and the
// subtitle a fresh run clears.
#include "runtime/textsettings.h"

namespace corvant {

struct Runtime;

DecorationState& decorationState(Runtime& rt);

// Draws `Hud` transparently onto the screen back buffer at the overlay
// position, whatever the flag says.
void stampOverlay(Runtime& rt);
// Draws the overlay onto the screen back buffer when it is switched on.
void stampOverlayForPresent(Runtime& rt);
// Empties the subtitle and its shadow and moves them out of sight.
void clearSubtitles(Runtime& rt);

}  // namespace corvant
