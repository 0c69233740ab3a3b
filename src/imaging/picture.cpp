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

}  // namespace detail

namespace {

// Runs one of the decoders that report failure by an empty result: a failure
// leaves the target alone.
template <typename Decoder>
bool decodeInto(const QString& path, QImage& target, Decoder decode) {
  std::optional<QImage> picture = decode(path);
  if (!picture) return false;
  target = std::move(*picture);
  return true;
}

}  // namespace

bool loadPictureFile(const QString& path, QImage& target) { return loadPictureFile(path, path, target); }

bool loadPictureFile(const QString& name, const QString& file, QImage& target) {
  // The checks are independent on purpose: a name such as "a.jpg.bmp" runs
  // both decoders, in this fixed order, and the last one to succeed wins.
  bool changed = false;
  if (name.contains(QLatin1String(".png"))) {
    decodePngFileOnto(file, target);
    changed = true;
  }
  if (name.contains(QLatin1String(".jpg")))
    changed |= decodeInto(file, target, [](const QString& p) { return decodeJpeg(p); });
  if (name.contains(QLatin1String(".bmp")))
    changed |= decodeInto(file, target, [](const QString& p) { return decodeBmp(p); });
  if (name.contains(QLatin1String(".gif")))
    changed |= decodeInto(file, target, [](const QString& p) { return decodeGif(p); });
  return changed;
}

}  // namespace corvant::imaging
