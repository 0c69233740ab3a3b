#pragma once
// Sounds the runtime makes itself, as whole RIFF/WAVE files in memory: the
// waves the sound slots hold before a game loads its own, and the beep a
// single wave falls back to when its file cannot be played.
#include <QByteArray>

namespace corvant::media {

// Slot 0..5. Slots 0-4: a 209-sample click, 11025 Hz 8-bit mono. Slot 5: a
// tone of 176,384 data bytes, 44100 Hz 16-bit stereo (just short of a second).
QByteArray builtinSlotWave(int slot);
// A short beep for a wave file that is missing or not a wave.
QByteArray defaultBeepWave();

}  // namespace corvant::media
