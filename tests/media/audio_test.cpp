#include "media/audio.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtGlobal>

#include <gtest/gtest.h>

#include "media/audiodriver.h"
#include "support/wavefile.h"

#include <chrono>
#include <cmath>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace corvant::media {
namespace {

using test::WaveFormat;
using test::appendU16;
using test::appendU32;
using test::waveFile;

using test::AudioDriver;

constexpr const char* kNoSuchDriver = "nosuchdriver";

class AudioDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

  QString write(const QString& name, const QByteArray& bytes) {
    const QString path = dir_.filePath(name);
    QFile out(path);
    EXPECT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(bytes);
    return path;
  }
  // Long enough that nothing in a test outlives it by accident.
  QString longWave() { return write("long.wav", waveFile({}, 10.0)); }
  QString shortWave() { return write("short.wav", waveFile({}, 0.2)); }

  // Collects the device's notes instead of printing them.
  std::unique_ptr<AudioDevice> device() {
    auto d = std::make_unique<AudioDevice>();
    d->setNoteSink([this](const std::string& line) { notes.push_back(line); });
    return d;
  }

  // Never real sound hardware, whatever the environment says.
  AudioDriver driver_{"dummy"};
  QTemporaryDir dir_;
  std::vector<std::string> notes;
};

TEST_F(AudioDeviceTest, PlaysWavesOfTheFormatsGamesShip) {
  struct Case {
    const char* name;
    QByteArray bytes;
  };
  const std::vector<Case> cases = {
      {"8-bit mono 11025 Hz", waveFile({11025, 1, 8}, 0.3)},
      {"16-bit stereo 22050 Hz", waveFile({22050, 2, 16}, 0.3)},
      {"16-bit mono 44100 Hz", waveFile({44100, 1, 16}, 0.3)},
      // Old tools often wrote the length before the data was complete.
      {"header longer than the data", waveFile({}, 0.3, 2.0)},
  };
  auto audio = device();
  ASSERT_TRUE(audio->available());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_TRUE(audio->playWave(write(QString::fromLatin1(c.name) + ".wav", c.bytes)));
    EXPECT_TRUE(audio->isPlaying());
  }
  EXPECT_TRUE(notes.empty());
}

TEST_F(AudioDeviceTest, FilesThatAreNotPlayableWavesAreRefusedAndLeaveTheCurrentWave) {
  QByteArray garbage;
  for (int i = 0; i < 4096; ++i) garbage.append(static_cast<char>((i * 7919 + 13) & 0xFF));
  QByteArray headerOnly("RIFF");
  appendU32(headerOnly, 4);
  headerOnly.append("WAVE");
  WaveFormat mp3InWave;
  mp3InWave.encoding = 0x55;
  ASSERT_TRUE(QDir(dir_.path()).mkdir("folder.wav"));

  struct Case {
    const char* name;
    QString path;
  };
  const std::vector<Case> cases = {
      {"missing", dir_.filePath("missing.wav")},
      {"empty", write("empty.wav", {})},
      {"garbage", write("garbage.wav", garbage)},
      {"RIFF WAVE without chunks", write("headeronly.wav", headerOnly)},
      {"unsupported encoding", write("mp3.wav", waveFile(mp3InWave, 0.3))},
      {"a folder", dir_.filePath("folder.wav")},
  };
  auto audio = device();
  ASSERT_TRUE(audio->playWave(longWave()));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_FALSE(audio->playWave(c.path));
    int waits = 0;
    EXPECT_FALSE(audio->playWaveAndWait(c.path, [&] { return ++waits, true; }));
    EXPECT_EQ(waits, 0);
    EXPECT_TRUE(audio->isPlaying());
  }
}

TEST_F(AudioDeviceTest, NewWaveTakesTheChannelFromOneStillPlaying) {
  auto audio = device();
  const QString first = longWave();
  const QString second = write("second.wav", waveFile({22050, 2, 16}, 10.0));
  // Each replacement frees the chunk that was playing; done quickly and often
  // so a chunk freed while still being mixed would show up.
  for (int i = 0; i < 20; ++i) {
    ASSERT_TRUE(audio->playWave(i % 2 ? second : first));
    ASSERT_TRUE(audio->isPlaying());
  }
  // Had the long wave kept its channel, the channel would not fall silent
  // when the short one ends.
  EXPECT_TRUE(audio->playWaveAndWait(shortWave(), [] { return true; }));
  EXPECT_FALSE(audio->isPlaying());
}

TEST_F(AudioDeviceTest, WaitReturnsOnceTheWaveHasEnded) {
  auto audio = device();
  int waits = 0;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(audio->playWaveAndWait(shortWave(), [&] { return ++waits, true; }));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_FALSE(audio->isPlaying());
  EXPECT_GE(waits, 1);
}

TEST_F(AudioDeviceTest, WaitEndsEarlyWithoutStoppingTheWaveWhenTheCallerGivesUp) {
  auto audio = device();
  int waits = 0;
  EXPECT_TRUE(audio->playWaveAndWait(longWave(), [&] { return ++waits, false; }));
  EXPECT_EQ(waits, 1);
  EXPECT_TRUE(audio->isPlaying());
}

TEST_F(AudioDeviceTest, WaitEndsWhenWhatTheCallerRunsReplacesOrStopsItsWave) {
  auto audio = device();
  const QString other = write("other.wav", waveFile({}, 10.0));
  int waits = 0;
  // The replacing wave is as long as the first, so only noticing the
  // replacement ends the wait before the test times out.
  EXPECT_TRUE(audio->playWaveAndWait(longWave(), [&] { return ++waits == 1 ? audio->playWave(other) : true; }));
  EXPECT_EQ(waits, 1);
  EXPECT_TRUE(audio->isPlaying());

  waits = 0;
  EXPECT_TRUE(audio->playWaveAndWait(longWave(), [&] {
    audio->stopWave();
    return ++waits, true;
  }));
  EXPECT_EQ(waits, 1);
  EXPECT_FALSE(audio->isPlaying());
}

TEST_F(AudioDeviceTest, DeviceThatCannotOpenSaysSoOnceAndPlaysNothing) {
  AudioDriver broken(kNoSuchDriver);
  auto audio = device();
  const QString wave = longWave();
  // Asking whether anything plays is not a use of the device.
  EXPECT_FALSE(audio->isPlaying());
  EXPECT_TRUE(notes.empty());

  EXPECT_FALSE(audio->available());
  EXPECT_FALSE(audio->playWave(wave));
  int waits = 0;
  EXPECT_FALSE(audio->playWaveAndWait(wave, [&] { return ++waits, true; }));
  audio->stopWave();
  EXPECT_FALSE(audio->available());
  EXPECT_FALSE(audio->isPlaying());
  EXPECT_EQ(waits, 0);
  ASSERT_EQ(notes.size(), 1u);
  EXPECT_FALSE(notes[0].empty());
}

TEST_F(AudioDeviceTest, NoteGoesToStderrWhenNobodyTakesIt) {
  AudioDriver broken(kNoSuchDriver);
  AudioDevice audio;
  ::testing::internal::CaptureStderr();
  audio.available();
  audio.playWave(longWave());
  const std::string printed = ::testing::internal::GetCapturedStderr();
  ASSERT_FALSE(printed.empty());
  EXPECT_EQ(printed.find('\n'), printed.size() - 1) << printed;
}

TEST_F(AudioDeviceTest, EachDeviceStartsSoundAfresh) {
  const QString wave = longWave();
  {
    auto audio = device();
    ASSERT_TRUE(audio->playWave(wave));
  }
  {
    // SDL audio left running by the last device would hide this driver.
    AudioDriver broken(kNoSuchDriver);
    auto audio = device();
    EXPECT_FALSE(audio->available());
    EXPECT_EQ(notes.size(), 1u);
  }
  auto audio = device();
  EXPECT_TRUE(audio->playWave(wave));
  EXPECT_TRUE(audio->isPlaying());
  EXPECT_EQ(notes.size(), 1u);
}

TEST_F(AudioDeviceTest, SecondDeviceAtOnceStaysOffAndLeavesTheFirstPlaying) {
  auto first = device();
  ASSERT_TRUE(first->playWave(longWave()));
  {
    auto second = device();
    EXPECT_FALSE(second->available());
    EXPECT_FALSE(second->playWave(shortWave()));
    EXPECT_EQ(notes.size(), 1u);
  }
  EXPECT_TRUE(first->isPlaying());
  EXPECT_TRUE(first->playWave(shortWave()));
}

}  // namespace
}  // namespace corvant::media
