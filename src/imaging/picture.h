#pragma once

// Picture decoding. Every picture the runtime shows is held as a QImage in
// Format_RGB32 (24-bit colour, no alpha channel); transparency is expressed by
// the colour magenta, which the drawing code leaves out.
//
// No decoder trusts its input: corrupt or truncated data makes it fail cleanly
// (an empty optional, or PictureError for PNG), it never reads outside the
// buffer, and sizes are checked before anything is allocated for them.

#include <QByteArray>
#include <QImage>
#include <QString>

#include <cstdint>
#include <optional>
#include <stdexcept>

namespace corvant::imaging {

// The colour that stands for "transparent" in every picture.
inline constexpr QRgb kTransparentColour = 0xFFFF00FFu;

// Largest picture accepted: no side above kMaxPictureSide and no more than
// kMaxPicturePixels pixels in all. Anything bigger is treated as corrupt.
inline constexpr int kMaxPictureSide = 32768;
inline constexpr std::int64_t kMaxPicturePixels = std::int64_t{256} * 1024 * 1024;

// True when a picture of this size may be allocated.
bool isSanePictureSize(std::int64_t width, std::int64_t height);

// Thrown by the PNG reader. The message is the text shown to the player.
class PictureError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// JPEG (baseline or progressive) through libjpeg-turbo. Greyscale, CMYK and
// YCCK pictures are converted to RGB; CMYK samples are taken as stored
// inverted, the way Adobe applications write them (and the way browsers read
// every CMYK JPEG). Data that ends early, even just before the end-of-image
// marker, counts as a failure. Empty on any failure.
std::optional<QImage> decodeJpeg(const QByteArray& bytes);
// Reads the file and decodes it; empty when the file cannot be read.
std::optional<QImage> decodeJpeg(const QString& path);

// The first image of a GIF, drawn at its position on a canvas of the logical
// screen size (or the image's own extent when the screen size is zero) filled
// with the background colour of the global colour map, black without one.
// The image's transparent index is drawn as kTransparentColour. Later images
// are never read, so damage after the first image does not matter.
// Empty on any failure.
std::optional<QImage> decodeGif(const QByteArray& bytes);
std::optional<QImage> decodeGif(const QString& path);

// Windows / OS/2 bitmaps: the 12-byte core header and the 40-byte header with
// its larger versions (52, 56, 108, 124 bytes); 1, 2, 4 and 8 bits per pixel
// with a palette, 16 bits (5-5-5 unless bit fields say otherwise), 24 and
// 32 bits; bottom-up or top-down rows; RLE8 and RLE4 compression (pixels an
// RLE stream skips stay black). Palette indices beyond the palette are black.
// Empty on any failure, including pixel data shorter than the header claims.
std::optional<QImage> decodeBmp(const QByteArray& bytes);
std::optional<QImage> decodeBmp(const QString& path);

// Decodes a PNG and lays it onto `target`.
//
// The target takes the picture's size. Where the old target covered the new
// area (top-left aligned) its pixels are kept; area it did not cover starts as
// kTransparentColour. Then, per pixel: an opaque picture replaces the target
// pixel; with an alpha channel, h = 255 - alpha decides: h == 0 copies the
// picture pixel, h == 255 keeps the target pixel, otherwise every channel
// becomes (h * target + (255 - h) * picture) / 255 (integer division).
// The target ends up in Format_RGB32.
//
// Palette, low-depth, 16-bit, grey and tRNS pictures are all brought to 8-bit
// RGB or RGBA first. Only the header and the image rows are read: a file may
// stop after its image data.
//
// Throws PictureError("Error Reading File!") when the data is not a readable
// PNG (bad signature, truncated, corrupt, too large); `target` is then left
// untouched.
void decodePngOnto(const QByteArray& bytes, QImage& target);

// As decodePngOnto, reading the file first. Throws
// PictureError("Error Opening File " + path + "!") when it cannot be opened.
void decodePngFileOnto(const QString& path, QImage& target);

// The picture loader's decoding step. The path is searched (case-sensitively,
// anywhere in the path) for ".png", ".jpg", ".bmp" and ".gif", in that order,
// and every decoder whose substring is present runs, each writing into
// `target` when it succeeds; a later success overwrites an earlier one.
// PNG errors propagate as PictureError. A JPEG, BMP or GIF that is missing or
// cannot be decoded leaves `target` as it was, silently.
// Returns true when `target` was written.
bool loadPictureFile(const QString& path, QImage& target);
// The same, with the type told by `name` as the game wrote it and the bytes
// read from `file`, the name resolved on disk (whose spelling may differ, for
// example "Sala.PNG" for a game that asks for "sala.png").
bool loadPictureFile(const QString& name, const QString& file, QImage& target);

// A JPEG of the picture (quality 1..100); empty when it cannot be encoded.
std::optional<QByteArray> encodeJpeg(const QImage& image, int quality = 90);
// Writes the JPEG through a temporary file that replaces `path` only when
// complete. False when it could not be written.
bool saveJpeg(const QImage& image, const QString& path, int quality = 90);

}  // namespace corvant::imaging
