#include "media/audio.h"

#include <QByteArray>
#include <QFile>

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cstdio>
#include <limits>
#include <utility>

namespace corvant::media {

namespace {

// SDL audio and the mixer are process-wide, so only one device may hold them
// at a time; a second one would share, and on closing tear down, the first
// one's channels.
bool deviceHeld = false;

void noteOnStderr(const std::string& line) {
  std::fputs(line.c_str(), stderr);
  std::fputc('\n', stderr);
}

}  // namespace

void AudioDevice::ChunkDeleter::operator()(Mix_Chunk* chunk) const { Mix_FreeChunk(chunk); }

AudioDevice::AudioDevice() : noteSink_(noteOnStderr) {}

AudioDevice::~AudioDevice() {
  if (state_ != State::Open) return;
  Mix_HaltChannel(-1);
  wave_.reset();
  for (Chunk& slot : slots_) slot.reset();
  Mix_CloseAudio();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  deviceHeld = false;
}

void AudioDevice::setNoteSink(NoteSink sink) { noteSink_ = std::move(sink); }

bool AudioDevice::available() {
  if (state_ == State::Unopened) open();
  return state_ == State::Open;
}

void AudioDevice::open() {
  if (deviceHeld) {
    fail("No sound device: another one is already open in this program; sounds are off");
    return;
  }
  // Sound servers show this name in their mixers; a user's own setting wins.
  SDL_SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, "Corvant");
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    fail(std::string("No sound device: ") + SDL_GetError() + "; sounds are off");
    return;
  }
  if (Mix_OpenAudio(kOutputRate, MIX_DEFAULT_FORMAT, kOutputChannels, kOutputBufferFrames) != 0) {
    const std::string reason = SDL_GetError();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    fail("No sound device: " + reason + "; sounds are off");
    return;
  }
  // Mix_AllocateChannels reports the count it ended with; fewer means it ran
  // out of memory.
  if (Mix_AllocateChannels(kMixerChannelCount) != kMixerChannelCount) {
    const std::string reason = SDL_GetError();
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    fail("No sound device: " + reason + "; sounds are off");
    return;
  }
  // Keeps the wave and slot channels out of reach of "any free channel"
  // requests, so nothing added later can cut a sound off by accident.
  Mix_ReserveChannels(kFirstSlotChannel + kSoundSlotCount);
  deviceHeld = true;
  state_ = State::Open;
}

void AudioDevice::fail(const std::string& line) {
  state_ = State::Failed;
  if (noteSink_) noteSink_(line);
}

void AudioDevice::halt(int channel, Chunk& chunk) {
  // Mix_HaltChannel holds the audio lock while it stops the channel, so once
  // it returns the mixing thread no longer reads the chunk's samples.
  Mix_HaltChannel(channel);
  chunk.reset();
}

AudioDevice::Chunk AudioDevice::loadWave(const QString& file) {
  // Read through Qt so a path means the same here as everywhere else in the
  // runtime (Unicode names, resources).
  QFile in(file);
  if (!in.open(QIODevice::ReadOnly)) return {};
  return decodeWave(in.readAll());
}

AudioDevice::Chunk AudioDevice::decodeWave(const QByteArray& bytes) {
  if (bytes.isEmpty() || bytes.size() > std::numeric_limits<int>::max()) return {};
  SDL_RWops* source = SDL_RWFromConstMem(bytes.constData(), static_cast<int>(bytes.size()));
  if (!source) return {};
  // The mixer decodes the whole file into its own buffer here and closes the
  // source, so `bytes` may go once this returns.
  return Chunk(Mix_LoadWAV_RW(source, 1));
}

bool AudioDevice::startWave(Chunk next) {
  if (!next) return false;
  halt(kWaveChannel, wave_);
  wave_ = std::move(next);
  ++waveGeneration_;
  if (Mix_PlayChannel(kWaveChannel, wave_.get(), 0) != kWaveChannel) {
    wave_.reset();
    return false;
  }
  return true;
}

void AudioDevice::waitForWave(const std::function<bool()>& keepWaiting) {
  // keepWaiting may run the event loop, and whatever it runs may start
  // another wave or stop this one; either ends this wait.
  const std::uint64_t generation = waveGeneration_;
  while (waveGeneration_ == generation && isPlaying()) {
    if (keepWaiting && !keepWaiting()) break;
    SDL_Delay(kWaitPollMilliseconds);
  }
}

bool AudioDevice::playWave(const QString& file) {
  if (!available()) return false;
  return startWave(loadWave(file));
}

bool AudioDevice::playWaveAndWait(const QString& file, const std::function<bool()>& keepWaiting) {
  if (!playWave(file)) return false;
  waitForWave(keepWaiting);
  return true;
}

bool AudioDevice::playWaveData(const QByteArray& wave) {
  if (!available()) return false;
  return startWave(decodeWave(wave));
}

bool AudioDevice::playWaveDataAndWait(const QByteArray& wave, const std::function<bool()>& keepWaiting) {
  if (!playWaveData(wave)) return false;
  waitForWave(keepWaiting);
  return true;
}

void AudioDevice::stopWave() {
  if (state_ == State::Open) halt(kWaveChannel, wave_);
}

bool AudioDevice::isPlaying() const { return state_ == State::Open && Mix_Playing(kWaveChannel) != 0; }

bool AudioDevice::loadSlot(int slot, const QByteArray& wave) {
  if (!validSlot(slot) || !available()) return false;
  Chunk next = decodeWave(wave);
  if (!next) return false;
  halt(kFirstSlotChannel + slot, slots_[static_cast<size_t>(slot)]);
  slots_[static_cast<size_t>(slot)] = std::move(next);
  return true;
}

bool AudioDevice::loadSlotFile(int slot, const QString& file) {
  QFile in(file);
  if (!in.open(QIODevice::ReadOnly)) return false;
  return loadSlot(slot, in.readAll());
}

bool AudioDevice::slotLoaded(int slot) const { return validSlot(slot) && slots_[static_cast<size_t>(slot)]; }

void AudioDevice::setSlotLevels(int slot, int volume, int left, int right) {
  if (state_ != State::Open || !validSlot(slot)) return;
  const int channel = kFirstSlotChannel + slot;
  Mix_Volume(channel, std::clamp(volume, 0, MIX_MAX_VOLUME));
  Mix_SetPanning(channel, static_cast<Uint8>(std::clamp(left, 0, 255)), static_cast<Uint8>(std::clamp(right, 0, 255)));
}

bool AudioDevice::playSlot(int slot, bool loop, int volume, int left, int right) {
  if (!slotLoaded(slot) || !available()) return false;
  const int channel = kFirstSlotChannel + slot;
  // Always from the start, even when the slot is still sounding.
  Mix_HaltChannel(channel);
  // Levels go on before the first sample is mixed, so a quiet sound never
  // starts with a loud blip.
  setSlotLevels(slot, volume, left, right);
  return Mix_PlayChannel(channel, slots_[static_cast<size_t>(slot)].get(), loop ? -1 : 0) == channel;
}

void AudioDevice::stopSlot(int slot) {
  if (state_ == State::Open && validSlot(slot)) Mix_HaltChannel(kFirstSlotChannel + slot);
}

void AudioDevice::stopAllSlots() {
  for (int slot = 0; slot < kSoundSlotCount; ++slot) stopSlot(slot);
}

bool AudioDevice::isSlotPlaying(int slot) const {
  return state_ == State::Open && validSlot(slot) && Mix_Playing(kFirstSlotChannel + slot) != 0;
}

void AudioDevice::waitForSlot(int slot, const std::function<bool()>& keepWaiting) {
  while (isSlotPlaying(slot)) {
    if (keepWaiting && !keepWaiting()) break;
    SDL_Delay(kWaitPollMilliseconds);
  }
}

}  // namespace corvant::media
