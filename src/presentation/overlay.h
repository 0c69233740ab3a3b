#pragma once
// The overlay picture stamped onto the screen at every presentation, and the
// subtitle a fresh run clears.
namespace corvant {

struct Runtime;

// Draws the overlay onto the screen back buffer when it is switched on.
void stampOverlayForPresent(Runtime& rt);
// Empties the subtitle and its shadow and moves them out of sight.
void clearSubtitles(Runtime& rt);

}  // namespace corvant
