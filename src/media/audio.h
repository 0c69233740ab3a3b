#pragma once

// Sound output through SDL_mixer.
//
// The program owns one AudioDevice. It opens the sound hardware the first time
// something asks for it, so a game that never plays a sound never touches it.
// A machine without a usable sound device is an ordinary situation, not an
// error: the device says why once, through its note sink, and from then on
// every request to play is a silent no-op that reports false.
//
// Mixer channels are laid out up front so the parts that play sounds never
// compete for them: channel kWaveChannel carries the single "click" wave, and
// channels kFirstSlotChannel .. kFirstSlotChannel + kSoundSlotCount - 1 are
// kept for the numbered sound slots.
//
// All calls belong on the thread that owns the device (the GUI thread).

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

struct Mix_Chunk;

namespace corvant::media {

// The channel that plays one wave at a time; a new wave replaces the old one.
inline constexpr int kWaveChannel = 0;
// The numbered sound slots, each on its own channel.
inline constexpr int kFirstSlotChannel = 1;
inline constexpr int kSoundSlotCount = 6;
// Channels the mixer is given. Ones past the slots are spare.
inline constexpr int kMixerChannelCount = 8;
static_assert(kFirstSlotChannel > kWaveChannel);
static_assert(kFirstSlotChannel + kSoundSlotCount <= kMixerChannelCount);

// Output format asked of the sound hardware. SDL may pick a close one instead;
// the mixer converts every sound to whatever was granted.
inline constexpr int kOutputRate = 44100;
inline constexpr int kOutputChannels = 2;
inline constexpr int kOutputBufferFrames = 1024;

// How often the synchronous wait looks at the channel and asks its caller
// whether to go on.
inline constexpr int kWaitPollMilliseconds = 10;

class AudioDevice {
 public:
  // Receives one line of text for the player or the log.
  using NoteSink = std::function<void(const std::string&)>;

  AudioDevice();
  ~AudioDevice();
  AudioDevice(const AudioDevice&) = delete;
  AudioDevice& operator=(const AudioDevice&) = delete;

  // Where the reason the device cannot be opened goes. By default it is one
  // line on stderr. An empty sink drops the note.
  void setNoteSink(NoteSink sink);

  // Opens the device if that has not been tried yet; true when sounds can be
  // played. A failed attempt is not repeated.
  bool available();

  // Starts the wave file at `file` on the wave channel and returns at once.
  // A wave still playing there is stopped. Other formats the mixer recognises
  // by their content play as well, whatever the file is called. False,
  // leaving whatever is playing alone, when the file cannot be read or
  // decoded, or the device is off.
  bool playWave(const QString& file);

  // Like playWave, but returns only when that wave has ended, has been
  // replaced or stopped, or `keepWaiting` returns false. `keepWaiting` is
  // called about every kWaitPollMilliseconds while the wave plays; the caller
  // handles its events there. Giving up waiting does not stop the wave. An
  // empty `keepWaiting` waits for the end. False exactly when playWave would
  // be; `keepWaiting` is then never called.
  bool playWaveAndWait(const QString& file, const std::function<bool()>& keepWaiting);

  // Stops the wave channel, if anything plays on it.
  void stopWave();

  // The same three for a whole wave file already in memory (RIFF bytes):
  // sounds the runtime makes itself rather than reads from the game.
  bool playWaveData(const QByteArray& wave);
  bool playWaveDataAndWait(const QByteArray& wave, const std::function<bool()>& keepWaiting);

  // True while a wave plays on the wave channel. Never opens the device.
  bool isPlaying() const;

  // Sound slots, numbered 0 .. kSoundSlotCount - 1, each on its own channel.
  //
  // Decodes `wave` (a whole wave file, RIFF bytes) into `slot`, stopping what
  // the slot played. False, keeping the slot's previous wave, when the bytes
  // do not decode or the device is off.
  bool loadSlot(int slot, const QByteArray& wave);
  // The same for a file; false also when it cannot be read.
  bool loadSlotFile(int slot, const QString& file);
  // True once the slot holds a wave.
  bool slotLoaded(int slot) const;
  // Plays the slot's wave from its start, once or over and over until
  // stopped. `volume` is the mixer's 0 (silent) .. MIX_MAX_VOLUME (128);
  // `left` and `right` are the panning gains 0 .. 255. False when the slot is
  // empty or the device is off.
  bool playSlot(int slot, bool loop, int volume, int left, int right);
  // Changes the loudness of whatever the slot is playing, without restarting.
  void setSlotLevels(int slot, int volume, int left, int right);
  void stopSlot(int slot);
  void stopAllSlots();
  // True while the slot plays. Never opens the device.
  bool isSlotPlaying(int slot) const;
  // Returns once the slot has stopped playing, or `keepWaiting` (called
  // about every kWaitPollMilliseconds) returns false.
  void waitForSlot(int slot, const std::function<bool()>& keepWaiting);

 private:
  enum class State { Unopened, Open, Failed };
  struct ChunkDeleter {
    void operator()(Mix_Chunk* chunk) const;
  };
  using Chunk = std::unique_ptr<Mix_Chunk, ChunkDeleter>;

  void open();
  void fail(const std::string& line);
  // Stops `channel` and only then lets go of the chunk it was playing.
  static void halt(int channel, Chunk& chunk);
  // Decodes a wave file; empty on any failure.
  static Chunk loadWave(const QString& file);
  static Chunk decodeWave(const QByteArray& bytes);
  // Puts `next` on the wave channel, replacing what played there.
  bool startWave(Chunk next);
  void waitForWave(const std::function<bool()>& keepWaiting);
  static bool validSlot(int slot) { return slot >= 0 && slot < kSoundSlotCount; }

  State state_ = State::Unopened;
  NoteSink noteSink_;
  Chunk wave_;
  std::array<Chunk, kSoundSlotCount> slots_;
  // Counts waves started on the wave channel, so a wait can tell that its
  // wave was replaced even when the new chunk reuses the old one's address.
  std::uint64_t waveGeneration_ = 0;
};

}  // namespace corvant::media
