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

#include <QString>

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

  // True while a wave plays on the wave channel. Never opens the device.
  bool isPlaying() const;

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

  State state_ = State::Unopened;
  NoteSink noteSink_;
  Chunk wave_;
  // Counts waves started on the wave channel, so a wait can tell that its
  // wave was replaced even when the new chunk reuses the old one's address.
  std::uint64_t waveGeneration_ = 0;
};

}  // namespace corvant::media
