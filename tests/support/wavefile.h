#pragma once
// RIFF/WAVE PCM files written by hand, for the sound tests.
#include <QByteArray>

#include <cmath>
#include <cstdint>
#include <optional>

namespace corvant::test {

inline void appendU16(QByteArray& out, std::uint16_t v) {
  out.append(static_cast<char>(v & 0xFF));
  out.append(static_cast<char>(v >> 8));
}
inline void appendU32(QByteArray& out, std::uint32_t v) {
  for (int shift = 0; shift < 32; shift += 8) out.append(static_cast<char>((v >> shift) & 0xFF));
}

struct WaveFormat {
  int rate = 11025;
  int channels = 1;
  int bits = 8;
  std::uint16_t encoding = 1;  // PCM
};

// A 440 Hz tone of `seconds`. When `declaredSeconds` is given, the data chunk
// header claims that length instead of the one written.
inline QByteArray waveFile(const WaveFormat& f, double seconds, std::optional<double> declaredSeconds = {}) {
  const int bytesPerSample = f.bits / 8;
  const int blockAlign = bytesPerSample * f.channels;
  const auto frames = static_cast<std::uint32_t>(seconds * f.rate);
  const auto declaredFrames = static_cast<std::uint32_t>(declaredSeconds.value_or(seconds) * f.rate);
  QByteArray samples;
  for (std::uint32_t i = 0; i < frames; ++i) {
    const double v = std::sin(2 * M_PI * 440 * i / f.rate) * 0.25;
    for (int c = 0; c < f.channels; ++c) {
      if (f.bits == 8) samples.append(static_cast<char>(128 + static_cast<int>(v * 127)));
      else appendU16(samples, static_cast<std::uint16_t>(static_cast<std::int16_t>(v * 32767)));
    }
  }
  const std::uint32_t dataSize = declaredFrames * static_cast<std::uint32_t>(blockAlign);
  QByteArray out("RIFF");
  appendU32(out, 36 + dataSize);
  out.append("WAVEfmt ");
  appendU32(out, 16);
  appendU16(out, f.encoding);
  appendU16(out, static_cast<std::uint16_t>(f.channels));
  appendU32(out, static_cast<std::uint32_t>(f.rate));
  appendU32(out, static_cast<std::uint32_t>(f.rate * blockAlign));
  appendU16(out, static_cast<std::uint16_t>(blockAlign));
  appendU16(out, static_cast<std::uint16_t>(f.bits));
  out.append("data");
  appendU32(out, dataSize);
  out.append(samples);
  return out;
}

}  // namespace corvant::test
