#include "imaging/picture.h"

#include "imaging/picture_io.h"

#include <QFile>

namespace corvant::imaging {

bool isSanePictureSize(std::int64_t width, std::int64_t height) {
  return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
         width * height <= kMaxPicturePixels;
}

namespace detail {

std::optional<QByteArray> readWholeFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) return std::nullopt;
  return bytes;
}

std::vector<Decoder> decodersFor(const QString& name) {
  // The checks are independent on purpose: a name such as "a.jpg.bmp" runs
  // both decoders, in this fixed order, and the last one to succeed wins.
  std::vector<Decoder> decoders;
  if (name.contains(QLatin1String(".png"))) decoders.push_back(Decoder::Png);
  if (name.contains(QLatin1String(".jpg"))) decoders.push_back(Decoder::Jpeg);
  if (name.contains(QLatin1String(".bmp"))) decoders.push_back(Decoder::Bmp);
  if (name.contains(QLatin1String(".gif"))) decoders.push_back(Decoder::Gif);
  return decoders;
}

std::optional<QImage> decodeWith(Decoder decoder, const QByteArray& bytes) {
  switch (decoder) {
    case Decoder::Jpeg: return decodeJpeg(bytes);
    case Decoder::Bmp: return decodeBmp(bytes);
    case Decoder::Gif: return decodeGif(bytes);
    case Decoder::Png: break;  // the PNG reader lays its picture onto a target instead
  }
  return std::nullopt;
}

}  // namespace detail

bool loadPictureFile(const QString& path, QImage& target) { return loadPictureFile(path, path, target); }

bool loadPictureFile(const QString& name, const QString& file, QImage& target) {
  bool changed = false;
  for (const detail::Decoder decoder : detail::decodersFor(name)) {
    if (decoder == detail::Decoder::Png) {
      decodePngFileOnto(file, target);
      changed = true;
      continue;
    }
    // The others fail silently, leaving the target as it was.
    const std::optional<QByteArray> bytes = detail::readWholeFile(file);
    if (!bytes) continue;
    std::optional<QImage> picture = detail::decodeWith(decoder, *bytes);
    if (!picture) continue;
    target = std::move(*picture);
    changed = true;
  }
  return changed;
}

}  // namespace corvant::imaging
