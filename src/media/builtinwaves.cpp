#include "media/builtinwaves.h"

#include <cmath>
#include <cstdint>

namespace corvant::media {
namespace {

void appendU16(QByteArray& out, std::uint16_t v) {
  out.append(static_cast<char>(v & 0xFF));
  out.append(static_cast<char>(v >> 8));
}
void appendU32(QByteArray& out, std::uint32_t v) {
  for (int shift = 0; shift < 32; shift += 8) out.append(static_cast<char>((v >> shift) & 0xFF));
}

QByteArray riff(int rate, int channels, int bits, const QByteArray& data) {
  const int blockAlign = channels * bits / 8;
  QByteArray out("RIFF");
  appendU32(out, static_cast<std::uint32_t>(36 + data.size()));
  out.append("WAVEfmt ");
  appendU32(out, 16);
  appendU16(out, 1);  // PCM
  appendU16(out, static_cast<std::uint16_t>(channels));
  appendU32(out, static_cast<std::uint32_t>(rate));
  appendU32(out, static_cast<std::uint32_t>(rate * blockAlign));
  appendU16(out, static_cast<std::uint16_t>(blockAlign));
  appendU16(out, static_cast<std::uint16_t>(bits));
  out.append("data");
  appendU32(out, static_cast<std::uint32_t>(data.size()));
  out.append(data);
  return out;
}

// A tone that dies away, so neither end clicks on its own.
double fading(double hz, int i, int rate, double decayPerSecond) {
  const double t = static_cast<double>(i) / rate;
  return std::sin(2 * M_PI * hz * t) * std::exp(-decayPerSecond * t);
}

QByteArray click() {
  constexpr int kRate = 11025;
  constexpr int kSamples = 209;
  QByteArray data;
  for (int i = 0; i < kSamples; ++i)
    data.append(static_cast<char>(128 + std::lround(100 * fading(1800, i, kRate, 300))));
  return riff(kRate, 1, 8, data);
}

QByteArray chime() {
  constexpr int kRate = 44100;
  constexpr int kFrames = 176384 / 4;
  QByteArray data;
  data.reserve(kFrames * 4);
  for (int i = 0; i < kFrames; ++i) {
    const double v = 0.6 * fading(660, i, kRate, 4) + 0.3 * fading(990, i, kRate, 6);
    const auto sample = static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(v * 20000)));
    appendU16(data, sample);
    appendU16(data, sample);
  }
  return riff(kRate, 2, 16, data);
}

}  // namespace

QByteArray builtinSlotWave(int slot) { return slot == 5 ? chime() : click(); }

QByteArray defaultBeepWave() {
  constexpr int kRate = 22050;
  constexpr int kSamples = kRate * 15 / 100;
  QByteArray data;
  for (int i = 0; i < kSamples; ++i) {
    const double v = fading(880, i, kRate, 12);
    appendU16(data, static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(v * 16000))));
  }
  return riff(kRate, 1, 16, data);
}

}  // namespace corvant::media
