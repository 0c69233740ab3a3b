#pragma once
// The game clock: a reference date "today", the game's present "now", and
// the offset of today from the real clock when it was set. Values are days
// with the time of day as a fraction.
namespace corvant {

struct GameClock {
  double today = 0;
  double now = 0;
  double offset = 0;
};

}  // namespace corvant
