#pragma once

// Writers for the small pictures the imaging tests decode. PNG, JPEG and GIF
// go through the encoding side of libpng, libjpeg and giflib; BMP is put
// together byte by byte.

#include <QByteArray>
#include <QImage>

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace corvant::imaging::fixtures {

// ---- Checking pixels -------------------------------------------------------

// A colour the test expects at one point of a picture.
struct Probe {
  int x;
  int y;
  QRgb colour;
};

// Succeeds when the picture has `expected` at (x, y), each channel within
// `tolerance`; the failure message names both colours.
::testing::AssertionResult pixelIs(const QImage& image, int x, int y, QRgb expected,
                                   int tolerance = 0);

// Every probe checked, with the failures of all of them reported.
::testing::AssertionResult probesMatch(const QImage& image, const std::vector<Probe>& probes,
                                       int tolerance = 0);

// ---- PNG -------------------------------------------------------------------

struct PngRgb {
  std::uint8_t red, green, blue;
};

struct PngPicture {
  int width = 0;
  int height = 0;
  int bitDepth = 8;
  int colourType = 2;  // PNG_COLOR_TYPE_RGB
  bool interlaced = false;
  std::vector<PngRgb> palette;
  std::vector<std::uint8_t> paletteAlpha;      // tRNS of a palette picture
  std::optional<std::uint16_t> transparentGrey;  // tRNS of a grey picture
  // Rows exactly as the PNG stores them (packed, 16-bit samples big-endian),
  // one after the other without padding.
  std::vector<std::uint8_t> data;

  std::size_t rowBytes() const;
};

// Empty on failure (the test then fails on its own assertions).
QByteArray writePng(const PngPicture& picture);

// 8-bit RGBA picture from {r, g, b, a} quadruples, row after row.
PngPicture rgbaPng(int width, int height, const std::vector<std::uint8_t>& rgba);

// Recomputes the CRC of the chunk that starts (with its length) at `offset`.
void fixChunkCrc(QByteArray& png, int offset);

// ---- JPEG ------------------------------------------------------------------

enum class JpegKind { Rgb, Grey, CmykStoredAsCmyk, CmykStoredAsYcck };

struct JpegPicture {
  int width = 0;
  int height = 0;
  JpegKind kind = JpegKind::Rgb;
  bool progressive = false;
  // 3, 1 or 4 samples per pixel according to `kind`.
  std::vector<std::uint8_t> samples;
};

QByteArray writeJpeg(const JpegPicture& picture);

// libjpeg's plain RGB output for a colour or grey JPEG, one qRgb per pixel:
// the reference the decoder's own output is held to. Empty on failure.
std::optional<QImage> plainRgbJpegDecode(const QByteArray& bytes);

// ---- GIF -------------------------------------------------------------------

struct GifColour {
  std::uint8_t red, green, blue;
};

struct GifFrame {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool interlaced = false;
  std::vector<GifColour> localColours;  // empty: none; otherwise 2, 4, 8, ... entries
  // A graphic control extension before the frame: its transparent index and
  // whether its "transparent" flag is set.
  std::optional<int> controlIndex;
  bool controlFlag = true;
  // Rows in the order they are stored in the file (for an interlaced frame,
  // the caller lists them in interlaced order).
  std::vector<std::vector<std::uint8_t>> storedRows;
};

struct GifPicture {
  int screenWidth = 0;
  int screenHeight = 0;
  std::vector<GifColour> globalColours;  // empty: none
  int backgroundIndex = 0;
  std::vector<GifFrame> frames;
};

QByteArray writeGif(const GifPicture& picture);

// ---- BMP -------------------------------------------------------------------

void appendU16(QByteArray& bytes, std::uint16_t value);
void appendU32(QByteArray& bytes, std::uint32_t value);

struct BmpInfo {
  std::uint32_t headerSize = 40;  // 40, 52, 56, 108 or 124
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::uint16_t bitsPerPixel = 24;
  std::uint32_t compression = 0;
  std::uint32_t coloursUsed = 0;
  // Written inside headers of 52 bytes and more.
  std::uint32_t masks[3] = {0, 0, 0};
};

QByteArray bmpInfoHeader(const BmpInfo& info);
// The 12-byte OS/2 header.
QByteArray bmpCoreHeader(std::uint16_t width, std::uint16_t height, std::uint16_t bitsPerPixel);

// File header + `header` + `beforePixels` (masks, palette) + `pixels`, with
// the pixel offset pointing just past `beforePixels`.
QByteArray bmpFile(const QByteArray& header, const QByteArray& beforePixels,
                   const QByteArray& pixels);

// Palette entries in the 4-byte (blue, green, red, 0) layout.
QByteArray bmpPalette(const std::vector<QRgb>& colours);

}  // namespace corvant::imaging::fixtures
