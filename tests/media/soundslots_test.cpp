// The single-wave command and the six sound slots: what scripts see in the
// slot state, and what a real (dummy-driver) sound device does.
#include "media/soundslots.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "media/audio.h"
#include "media/audiodriver.h"
#include "media/builtinwaves.h"
#include "support/gamefolder.h"
#include "support/wavefile.h"

namespace corvant::media {
namespace {

using test::waveFile;

// A loaded game whose sound slots start from scratch.
class SoundSlotsTest : public ::testing::Test {
 protected:

  SoundSlots& soundState() { return soundSlots(g.rt); }
  SoundSlot& slot(int number) { return soundState().all.at(static_cast<size_t>(number - 1)); }
  void writeWave(const std::string& name, double seconds) {
    const QByteArray bytes = waveFile({}, seconds);
    g.folder.writeRaw(name, std::string(bytes.constData(), static_cast<size_t>(bytes.size())));
  }
  std::string dx(const std::vector<std::string>& params) { return g.call("dxsound", params); }

  test::LoadedGame g;
};

TEST_F(SoundSlotsTest, SlotsStartWithTheirBuiltInNamesAtFullVolumeCentredAndIdle) {
  for (int n = 1; n <= 6; ++n) {
    SCOPED_TRACE(n);
    EXPECT_EQ(slot(n).name, "Som" + std::to_string(n));
    EXPECT_EQ(slot(n).volume, 0);
    EXPECT_EQ(slot(n).pan, 0);
    EXPECT_FALSE(slot(n).looped);
    EXPECT_FALSE(slot(n).started);
  }
  EXPECT_FALSE(soundState().mixerStarted);
}

TEST_F(SoundSlotsTest, SlotNumbersOutsideOneToSixOrNotNumbersMeanSlotOne) {
  struct Case {
    std::string p1;
    int slot;
  };
  for (const Case& c : std::vector<Case>{{"7", 1}, {"0", 1}, {"-2", 1}, {"boom", 1}, {"", 1}, {"3", 3}, {"6", 6}}) {
    SCOPED_TRACE(c.p1);
    soundState() = SoundSlots{};
    dx({c.p1});
    for (int n = 1; n <= 6; ++n) EXPECT_EQ(slot(n).started, n == c.slot) << "slot " << n;
  }
}

TEST_F(SoundSlotsTest, StartedMarkStaysUntilTheSlotIsSwitchedOffOrAllAreStopped) {
  EXPECT_EQ(dx({"2", "on"}), "");
  EXPECT_TRUE(slot(2).started);
  dx({"2"});  // "on" is the default; the slot is already started
  EXPECT_TRUE(slot(2).started);
  dx({"2", "off"});
  EXPECT_FALSE(slot(2).started);

  dx({"2", "anything"});  // only "off" switches off
  dx({"4"});
  dx({"5", "off"});
  EXPECT_TRUE(slot(2).started);
  EXPECT_TRUE(slot(4).started);
  EXPECT_FALSE(slot(5).started);
  EXPECT_EQ(dx({"stop"}), "");
  for (int n = 1; n <= 6; ++n) EXPECT_FALSE(slot(n).started) << "slot " << n;
}

TEST_F(SoundSlotsTest, ExistingWaveFileNamesTheSlotAndStartsTheMixerWhileAMissingOneChangesNothing) {
  writeWave("Boom.wav", 0.1);  // found whatever the case the script uses
  dx({"2", "on", "nosuch"});
  EXPECT_EQ(slot(2).name, "Som2");
  EXPECT_FALSE(soundState().mixerStarted);
  // The rest of the command still applies to a slot whose file is missing.
  EXPECT_TRUE(slot(2).started);

  dx({"3", "off", "boom", "on", "off", "-20", "15"});
  EXPECT_EQ(slot(3).name, "boom");
  EXPECT_TRUE(soundState().mixerStarted);
  EXPECT_TRUE(slot(3).looped);
  EXPECT_EQ(slot(3).volume, -2000);
  EXPECT_EQ(slot(3).pan, 1500);
  EXPECT_EQ(slot(2).name, "Som2");
}

TEST_F(SoundSlotsTest, VolumePanAndLoopKeepOrChangeAsEachCommandSays) {
  writeWave("boom.wav", 0.1);
  dx({"3", "on", "boom", "on", "off", "-20"});
  EXPECT_TRUE(slot(3).looped);
  EXPECT_EQ(slot(3).volume, -2000);
  EXPECT_EQ(slot(3).pan, 0);

  // Off and on again without levels: the levels stay, the loop does not.
  dx({"3", "off"});
  dx({"3", "on", "boom"});
  EXPECT_EQ(slot(3).volume, -2000);
  EXPECT_FALSE(slot(3).looped);

  struct Case {
    std::string loop, volume, pan;
    bool looped;
    int wantVolume, wantPan;
  };
  const std::vector<Case> cases{
      {"off", "-5", "-100", false, -500, -10000},
      {"yes", "loud", "left", true, -500, -10000},  // not numbers: kept
      {"", "0", "0", false, 0, 0},
      {"on", "-150", "250", true, -15000, 25000},  // kept as set, limited only when mixed
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.volume + " " + c.pan);
    dx({"3", "off", "", c.loop, "off", c.volume, c.pan});
    EXPECT_EQ(slot(3).looped, c.looped);
    EXPECT_EQ(slot(3).volume, c.wantVolume);
    EXPECT_EQ(slot(3).pan, c.wantPan);
  }
}

TEST_F(SoundSlotsTest, SingleWaveCommandTracesNameAndMode) {
  struct Case {
    std::string name, mode, trace;
  };
  const std::vector<Case> cases{
      {"", "on", " <--- n\xE3o definiu nome de arquivo .wav"},
      {"door.wav", "", "door.wav"},
      {"door.wav", "on", "door.wav,on"},
      {"door.wav", "off", "door.wav"},  // plays nothing
      {"off", "", "off,"},
      {"off", "on", "off,on"},
  };
  for (const std::string word : {"playsnd", "playsound"}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(word + " " + c.name + "," + c.mode);
      EXPECT_EQ(g.call(word, {c.name, c.mode}), c.trace);
    }
  }
}

TEST(SoundLevels, DecibelsBecomeMixerVolumeAndPanning) {
  struct VolumeCase {
    int hundredths, mixer;
  };
  for (const VolumeCase& c : std::vector<VolumeCase>{
           {0, 128}, {-600, 64}, {-2000, 13}, {-9999, 0}, {-10000, 0}, {-30000, 0}, {700, 128}}) {
    SCOPED_TRACE(c.hundredths);
    EXPECT_EQ(mixerVolume(c.hundredths), c.mixer);
  }
  struct PanCase {
    int pan, left, right;
  };
  for (const PanCase& c : std::vector<PanCase>{{0, 255, 255},
                                               {600, 128, 255},
                                               {-600, 255, 128},
                                               {1000, 81, 255},
                                               {10000, 0, 255},
                                               {-10000, 255, 0},
                                               {25000, 0, 255}}) {
    SCOPED_TRACE(c.pan);
    const PanGains g = panGains(c.pan);
    EXPECT_EQ(g.left, c.left);
    EXPECT_EQ(g.right, c.right);
  }
}

// The header fields of a RIFF/WAVE file with a plain 16-byte format chunk.
struct WaveHeader {
  std::uint16_t encoding, channels, bits;
  std::uint32_t rate, dataBytes;
};
std::uint32_t readU32(const QByteArray& b, int at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<std::uint8_t>(b[at + i]);
  return v;
}
std::uint16_t readU16(const QByteArray& b, int at) {
  return static_cast<std::uint16_t>(static_cast<std::uint8_t>(b[at]) | (static_cast<std::uint8_t>(b[at + 1]) << 8));
}
WaveHeader header(const QByteArray& b) {
  EXPECT_TRUE(b.startsWith("RIFF"));
  EXPECT_EQ(b.mid(8, 8), QByteArray("WAVEfmt "));
  EXPECT_EQ(b.mid(36, 4), QByteArray("data"));
  EXPECT_EQ(readU32(b, 4), static_cast<std::uint32_t>(b.size() - 8));
  EXPECT_EQ(readU32(b, 40), static_cast<std::uint32_t>(b.size() - 44));
  return {readU16(b, 20), readU16(b, 22), readU16(b, 34), readU32(b, 24), readU32(b, 40)};
}

TEST(SoundBuiltInWaves, HaveTheFormatsAndLengthsGamesWereMadeFor) {
  for (int slot = 0; slot < 6; ++slot) {
    SCOPED_TRACE(slot);
    const WaveHeader h = header(builtinSlotWave(slot));
    EXPECT_EQ(h.encoding, 1);
    if (slot < 5) {
      EXPECT_EQ(h.rate, 11025u);
      EXPECT_EQ(h.bits, 8);
      EXPECT_EQ(h.channels, 1);
      EXPECT_EQ(h.dataBytes, 209u);
    } else {
      EXPECT_EQ(h.rate, 44100u);
      EXPECT_EQ(h.bits, 16);
      EXPECT_EQ(h.channels, 2);
      EXPECT_EQ(h.dataBytes, 176384u);
    }
  }
  // Not silence: a sound the player is meant to hear.
  const QByteArray click = builtinSlotWave(0).mid(44);
  EXPECT_NE(click.count(static_cast<char>(128)), click.size());
  EXPECT_EQ(header(defaultBeepWave()).encoding, 1);
}

// The same commands with a sound device behind them, on SDL's dummy driver.
class SoundDeviceTest : public SoundSlotsTest {
 protected:
  SoundDeviceTest() {
    audio.setNoteSink({});
    g.rt.audio = &audio;
  }
  ~SoundDeviceTest() override { g.rt.audio = nullptr; }
  void SetUp() override { ASSERT_TRUE(audio.available()); }

  // A file outside the game folder, named by its full path as playsnd takes it.
  std::string outsideWave(const std::string& name, double seconds) {
    const QString path = dir.filePath(QString::fromStdString(name));
    QFile out(path);
    EXPECT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(waveFile({}, seconds));
    return path.toStdString();
  }
  static bool playing(const AudioDevice& a, int slotNumber) { return a.isSlotPlaying(slotNumber - 1); }

  test::AudioDriver driver{"dummy"};
  AudioDevice audio;
  QTemporaryDir dir;
};

TEST_F(SoundDeviceTest, SlotsAreSilentUntilTheFirstWaveFileIsLoaded) {
  dx({"6", "on", "", "on"});
  EXPECT_TRUE(slot(6).started);
  EXPECT_FALSE(playing(audio, 6));

  // Loading a file starts the mixer; the other slots then have their
  // built-in waves.
  writeWave("boom.wav", 10);
  dx({"2", "on", "boom", "on"});
  EXPECT_TRUE(playing(audio, 2));
  dx({"6", "off"});
  dx({"6", "on", "", "on"});
  EXPECT_TRUE(playing(audio, 6));
}

TEST_F(SoundDeviceTest, LoopingSlotPlaysOnUntilSwitchedOffOrStopped) {
  writeWave("tick.wav", 0.05);
  writeWave("hum.wav", 10);
  dx({"1", "on", "tick", "on"});
  dx({"4", "on", "hum", "off"});
  // Loading hum restarted the mixer, which silences every slot; slot 1 is
  // still marked started, so it takes switching off to play it again.
  EXPECT_FALSE(playing(audio, 1));
  dx({"1", "on", "tick", "on"});
  EXPECT_FALSE(playing(audio, 1));
  dx({"1", "off"});
  dx({"1", "on", "tick", "on"});
  std::this_thread::sleep_for(std::chrono::milliseconds(300));  // several lengths of tick
  EXPECT_TRUE(playing(audio, 1));
  EXPECT_TRUE(playing(audio, 4));

  dx({"1", "off"});
  EXPECT_FALSE(playing(audio, 1));
  EXPECT_TRUE(playing(audio, 4));
  dx({"1", "on"});
  dx({"stop"});
  EXPECT_FALSE(playing(audio, 1));
  EXPECT_FALSE(playing(audio, 4));
}

TEST_F(SoundDeviceTest, WaitingSlotCommandReturnsOnlyAfterTheSoundEnds) {
  writeWave("boom.wav", 0.4);
  const auto start = std::chrono::steady_clock::now();
  dx({"2", "on", "boom", "off", "on"});
  EXPECT_FALSE(playing(audio, 2));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  EXPECT_TRUE(slot(2).started);

  // Without the wait, or when looping, the command goes on at once.
  writeWave("long.wav", 10);
  dx({"2", "off"});
  dx({"2", "on", "long", "off", "off"});
  EXPECT_TRUE(playing(audio, 2));
  dx({"3", "on", "boom", "on", "on"});
  EXPECT_TRUE(playing(audio, 3));
}

TEST_F(SoundDeviceTest, WaitingSlotCommandGivesUpWhenTheProgramIsEnding) {
  writeWave("long.wav", 10);
  g.host.quitRequested = true;
  const auto start = std::chrono::steady_clock::now();
  dx({"2", "on", "long", "off", "on"});
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_TRUE(playing(audio, 2));
}

TEST_F(SoundDeviceTest, SingleWavePlaysAsynchronouslyOrUntilItEnds) {
  const std::string longWave = outsideWave("long.wav", 10);
  const std::string shortWave = outsideWave("short.wav", 0.4);

  g.call("playsnd", {longWave, ""});
  EXPECT_TRUE(audio.isPlaying());
  EXPECT_EQ(g.call("playsnd", {"off", ""}), "off,");
  EXPECT_FALSE(audio.isPlaying());

  // A mode other than "on" plays nothing, leaving what plays alone.
  g.call("playsnd", {longWave, ""});
  g.call("playsound", {shortWave, "sync"});
  EXPECT_TRUE(audio.isPlaying());

  // "on" replaces the long wave and returns when the short one has ended.
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(g.call("playsnd", {shortWave, "on"}), shortWave + ",on");
  EXPECT_FALSE(audio.isPlaying());
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

TEST_F(SoundDeviceTest, MissingSingleWaveSoundsTheDefaultBeepInstead) {
  const std::string longWave = outsideWave("long.wav", 10);
  g.call("playsnd", {longWave, ""});
  // The beep takes the wave channel from the long wave and the command waits
  // for it; had nothing played, the long wave would still be sounding.
  g.call("playsnd", {dir.filePath("nosuch.wav").toStdString(), "on"});
  EXPECT_FALSE(audio.isPlaying());

  // So does a file that is there but is no wave.
  QFile text(dir.filePath("notes.wav"));
  ASSERT_TRUE(text.open(QIODevice::WriteOnly));
  text.write("not a sound at all");
  text.close();
  g.call("playsnd", {longWave, ""});
  g.call("playsnd", {text.fileName().toStdString(), "on"});
  EXPECT_FALSE(audio.isPlaying());
}

TEST_F(SoundDeviceTest, SlotWavesAreRefusedWhenTheyDoNotDecodeAndTheSlotKeepsItsWave) {
  EXPECT_FALSE(audio.slotLoaded(0));
  EXPECT_FALSE(audio.playSlot(0, false, 128, 255, 255));
  EXPECT_TRUE(audio.loadSlot(0, builtinSlotWave(5)));
  EXPECT_FALSE(audio.loadSlot(0, QByteArray("RIFF not a wave")));
  EXPECT_TRUE(audio.playSlot(0, false, 128, 255, 255));
  EXPECT_TRUE(audio.isSlotPlaying(0));
  // Slots and the wave channel do not take each other's sounds.
  EXPECT_FALSE(audio.isPlaying());
  EXPECT_FALSE(audio.isSlotPlaying(1));
  EXPECT_FALSE(audio.loadSlot(6, builtinSlotWave(0)));
}

}  // namespace
}  // namespace corvant::media
