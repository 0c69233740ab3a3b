// Sound commands: single waves and the six sound slots.
#include <QString>

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <string>

#include "engine/commandtable.h"
#include "engine/params.h"
#include "media/audio.h"
#include "media/builtinwaves.h"
#include "media/soundslots.h"
#include "runtime/files.h"
#include "runtime/runtime.h"
#include "text/cp1252.h"
#include "text/numbers.h"

namespace corvant {

media::SoundSlots& soundSlots(Runtime& rt) { return rt.state.soundSlots; }

namespace {

// Wave names games give are kept in a fixed buffer of this many characters.
constexpr size_t kSoundNameLimit = 87;

// The synchronous sound forms hold the command until the sound ends, as the
// games expect: clicks made meanwhile are handled after the command, not in
// the middle of it. Only a request to end the program cuts the wait short.
std::function<bool()> untilQuitting(Runtime& rt) {
  return [&rt] { return !rt.host.quitting(); };
}

// A wave the system cannot play (no such file, not a wave) gives the default
// beep instead, so the player still hears that something happened.
void playSingleWave(Runtime& rt, const QString& file, bool wait) {
  media::AudioDevice* audio = rt.audio;
  if (!audio) return;
  if (wait) {
    if (!audio->playWaveAndWait(file, untilQuitting(rt)))
      audio->playWaveDataAndWait(media::defaultBeepWave(), untilQuitting(rt));
  } else if (!audio->playWave(file)) {
    audio->playWaveData(media::defaultBeepWave());
  }
}

void playsnd(Runtime& rt) {
  const std::string name = valueParam(rt, 1);
  const std::string mode = valueParam(rt, 2);
  if (name.empty()) return void(rt.interp.trace += " <--- n\xE3o definiu nome de arquivo .wav");
  rt.interp.trace += name;
  if (name == "off") {
    rt.interp.trace += "," + mode;
    if (rt.audio) rt.audio->stopWave();
    return;
  }
  // The name is used as written: relative to the working directory, with no
  // extension added.
  const QString file = files::resolve(text::toQString(name.substr(0, std::min(name.size(), kSoundNameLimit))));
  if (mode.empty()) return playSingleWave(rt, file, false);
  if (mode != "on") return;
  playSingleWave(rt, file, true);
  rt.interp.trace += "," + mode;
  rt.pumpEvents();
}

// Decibels from a script as stored hundredths; nullopt keeps the old value.
std::optional<int> hundredths(const std::string& decibels) {
  const std::optional<std::int32_t> db = text::parseInt(decibels);
  if (!db) return std::nullopt;
  const std::int64_t v = static_cast<std::int64_t>(*db) * 100;
  return static_cast<int>(std::clamp<std::int64_t>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

void applyLevels(media::AudioDevice& audio, int index, const media::SoundSlot& slot, bool play) {
  const media::PanGains pan = media::panGains(slot.pan);
  const int volume = media::mixerVolume(slot.volume);
  if (play) audio.playSlot(index, slot.looped, volume, pan.left, pan.right);
  else audio.setSlotLevels(index, volume, pan.left, pan.right);
}

// Loading a wave restarts the slot mixer, which silences every slot and
// gives each one its wave again: the loaded one or its built-in wave.
void loadSlotWave(Runtime& rt, media::SoundSlots& s, int index, const std::string& stem, const QString& file) {
  media::AudioDevice* audio = rt.audio;
  if (audio) audio->stopAllSlots();
  s.all[static_cast<size_t>(index)].name = stem;
  // A file that does not decode leaves the slot its previous wave.
  if (audio) audio->loadSlotFile(index, file);
  rt.pumpEvents();
  s.mixerStarted = true;
  if (audio) {
    for (int i = 0; i < media::kSoundSlotCount; ++i)
      if (!audio->slotLoaded(i)) audio->loadSlot(i, media::builtinSlotWave(i));
  }
  rt.pumpEvents();
}

void dxsound(Runtime& rt) {
  std::array<std::string, 7> p;
  for (size_t i = 0; i < p.size(); ++i) p[i] = valueParam(rt, static_cast<int>(i) + 1);
  media::SoundSlots& s = soundSlots(rt);
  media::AudioDevice* audio = rt.audio;

  if (p[0] == "stop") {
    if (audio) audio->stopAllSlots();
    for (media::SoundSlot& slot : s.all) slot.started = false;
    return;
  }

  int number = text::parseIntOr(p[0], 1);
  if (number < 1 || number > media::kSoundSlotCount) number = 1;
  const int index = number - 1;
  media::SoundSlot& slot = s.all[static_cast<size_t>(index)];
  const std::string onOff = p[1].empty() ? "on" : p[1];

  const std::string& stem = p[2];
  if (!stem.empty() && stem != slot.name) {
    const QString file = files::resolve(files::join(rt.state.paths.adventureFolder, stem + ".wav"));
    if (files::exists(file)) loadSlotWave(rt, s, index, stem, file);
  }

  slot.looped = (p[3].empty() ? "off" : p[3]) != "off";
  if (const auto v = hundredths(p[5])) slot.volume = *v;
  if (const auto v = hundredths(p[6])) slot.pan = *v;
  const bool wait = (p[4].empty() ? "off" : p[4]) != "off";
  rt.pumpEvents();

  if (onOff == "off") {
    if (audio) audio->stopSlot(index);
    slot.started = false;
    return;
  }
  // A started slot is not restarted, but new levels reach it at once.
  if (slot.started) {
    if (audio && s.mixerStarted) applyLevels(*audio, index, slot, false);
    return;
  }
  // Until the first wave file is loaded the mixer is off and the slot stays
  // silent, though it counts as started.
  if (audio && s.mixerStarted) {
    applyLevels(*audio, index, slot, true);
    if (!slot.looped && wait) audio->waitForSlot(index, untilQuitting(rt));
  }
  slot.started = true;
}

const CommandEntry kCommands[] = {
    {"playsnd", playsnd},
    {"playsound", playsnd},
    {"dxsound", dxsound},
    {"dxsound=", dxsound},
};

}  // namespace

void registerSoundCommands(CommandTable& table) { table.add(kCommands); }

}  // namespace corvant
