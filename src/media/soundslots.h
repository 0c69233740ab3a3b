#pragma once
// The six sound slots scripts play effects through, as the game state keeps
// them, and how their decibel levels become mixer levels.
//
// Slots are numbered 1..6 by scripts and stored 0..5 here. Volume and pan are
// kept exactly as games set them, in hundredths of a decibel: volume 0 is full
// loudness and -10000 silence; pan -10000 is hard left, 0 the centre and
// 10000 hard right. Out-of-range values are kept as set, so a script reads
// back what it wrote, and are only limited when turned into mixer levels.
#include <algorithm>
#include <array>
#include <cmath>
#include <string>

namespace corvant::media {

inline constexpr int kSilentHundredthsDb = -10000;
inline constexpr int kFullHundredthsDb = 10000;

struct SoundSlot {
  // The stem of the wave file last loaded into the slot; the built-in wave's
  // name until then.
  std::string name;
  bool looped = false;
  int volume = 0;
  int pan = 0;
  // Set when the slot is started and left set after a single play has ended,
  // so starting it again does nothing until it is switched off or all slots
  // are stopped.
  bool started = false;
};

struct SoundSlots {
  SoundSlots() {
    for (size_t i = 0; i < all.size(); ++i) all[i].name = "Som" + std::to_string(i + 1);
  }
  std::array<SoundSlot, 6> all;
  // The slot mixer starts only when the first wave file is loaded into a
  // slot; until then starting a slot (even with its built-in wave) is silent.
  bool mixerStarted = false;
};

// An attenuation in hundredths of a decibel as a linear gain 0..1. The bottom
// of the range is silence, not just very quiet.
inline double gainOf(int hundredthsDb) {
  const int db = std::clamp(hundredthsDb, kSilentHundredthsDb, 0);
  if (db == kSilentHundredthsDb) return 0.0;
  return std::pow(10.0, db / 2000.0);
}

// The mixer volume 0..128 for a slot volume.
inline int mixerVolume(int volume) { return static_cast<int>(std::lround(128.0 * gainOf(volume))); }

struct PanGains {
  int left;
  int right;
};
// Panning attenuates only the side away from the pan: panning right lowers
// the left channel by the pan's decibels and leaves the right one whole.
inline PanGains panGains(int pan) {
  const int p = std::clamp(pan, -kFullHundredthsDb, kFullHundredthsDb);
  return {static_cast<int>(std::lround(255.0 * gainOf(-std::max(p, 0)))),
          static_cast<int>(std::lround(255.0 * gainOf(std::min(p, 0))))};
}

}  // namespace corvant::media

namespace corvant {

struct Runtime;
// The runtime's sound slots.
media::SoundSlots& soundSlots(Runtime& rt);

}  // namespace corvant
