#pragma once

// Helpers shared by the decoders and the picture cache; not part of the
// imaging interface.

#include <QByteArray>
#include <QImage>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace corvant::imaging::detail {

// The whole file, or empty when it cannot be opened or read.
std::optional<QByteArray> readWholeFile(const QString& path);

// The decoders of the picture loader.
enum class Decoder { Png, Jpeg, Bmp, Gif };

// The decoders a picture's name calls for, in the order they run: the name
// is searched (case-sensitively, anywhere) for ".png", ".jpg", ".bmp" and
// ".gif", each independently of the others.
std::vector<Decoder> decodersFor(const QString& name);

// Runs the JPEG, BMP or GIF decoder on the bytes of a file.
std::optional<QImage> decodeWith(Decoder decoder, const QByteArray& bytes);

// A PNG decoded once, to be laid onto any number of targets. Exactly one of
// the two forms is set.
struct PngPixels {
  int width = 0;
  int height = 0;
  // The finished RGB32 picture, when no pixel lets the target show through.
  QImage opaque;
  // Otherwise the pixels as 8-bit (red, green, blue, h) quadruples, where
  // h = 255 - alpha, rows following each other without padding.
  std::unique_ptr<std::uint8_t[]> rgbh;

  std::size_t sizeInBytes() const;
};

// decodePngOnto, giving back the decoded pixels so that later loads of the
// same picture can skip the decoding. Throws as decodePngOnto does.
PngPixels decodePngOntoKeeping(const QByteArray& bytes, QImage& target);

// The second half of decodePngOnto: lays decoded pixels onto `target` by the
// rules described there. Throws PictureError("Error Reading File!") when the
// result cannot be allocated; `target` is then left untouched.
void layPngOnto(const PngPixels& pixels, QImage& target);

// The file decodePngFileOnto reads. Throws PictureError("Error Opening File
// <path>!") when it cannot be opened, PictureError("Error Reading File!")
// when reading fails.
QByteArray readPngFile(const QString& path);

}  // namespace corvant::imaging::detail
