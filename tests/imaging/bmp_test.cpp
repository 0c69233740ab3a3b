#include "imaging/fixtures.h"
#include "imaging/picture.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <ostream>
#include <string>

namespace corvant::imaging {
namespace {

using fixtures::appendU16;
using fixtures::appendU32;
using fixtures::BmpInfo;
using fixtures::Probe;

constexpr QRgb kBlack = qRgb(0, 0, 0);
constexpr std::uint32_t kRle8 = 1;
constexpr std::uint32_t kRle4 = 2;
constexpr std::uint32_t kBitFields = 3;

QByteArray bytes(std::initializer_list<int> values) {
  QByteArray out;
  for (int v : values) out.append(static_cast<char>(v));
  return out;
}

BmpInfo info(std::int32_t width, std::int32_t height, std::uint16_t bitsPerPixel,
             std::uint32_t compression = 0, std::uint32_t coloursUsed = 0) {
  BmpInfo header;
  header.width = width;
  header.height = height;
  header.bitsPerPixel = bitsPerPixel;
  header.compression = compression;
  header.coloursUsed = coloursUsed;
  return header;
}

// The 16 colours used by the 4-bit pictures.
QRgb sixteen(int index) { return qRgb(index * 16, 100, 255 - index * 16); }

std::vector<QRgb> sixteenColours() {
  std::vector<QRgb> colours;
  for (int i = 0; i < 16; ++i) colours.push_back(sixteen(i));
  return colours;
}

struct DecodeCase {
  std::string name;
  QByteArray file;
  QSize size;
  std::vector<Probe> probes;
};

void PrintTo(const DecodeCase& c, std::ostream* out) { *out << c.name; }

// Row padding is filled with bytes that would show as wrong colours if they
// were taken for pixels.
std::vector<DecodeCase> decodeCases() {
  std::vector<DecodeCase> cases;

  // Bottom-up: the file starts with the bottom row. 9 bytes of pixels + 3 of
  // padding per row.
  cases.push_back(
      {"Rgb24BottomUp",
       fixtures::bmpFile(fixtures::bmpInfoHeader(info(3, 2, 24)), {},
                         bytes({30, 20, 10, 60, 50, 40, 90, 80, 70, 0xEE, 0xEE, 0xEE,  //
                                0, 0, 255, 0, 255, 0, 255, 0, 0, 0xEE, 0xEE, 0xEE})),
       {3, 2},
       {{0, 0, qRgb(255, 0, 0)},
        {1, 0, qRgb(0, 255, 0)},
        {2, 0, qRgb(0, 0, 255)},
        {0, 1, qRgb(10, 20, 30)},
        {1, 1, qRgb(40, 50, 60)},
        {2, 1, qRgb(70, 80, 90)}}});

  {
    // Four colours in use; index 7 lies past them and shows black.
    const std::vector<QRgb> palette = {qRgb(200, 0, 0), qRgb(0, 200, 0), qRgb(0, 0, 200),
                                       qRgb(50, 60, 70)};
    cases.push_back({"Palette8",
                     fixtures::bmpFile(fixtures::bmpInfoHeader(info(5, 3, 8, 0, 4)),
                                       fixtures::bmpPalette(palette),
                                       bytes({1, 0, 1, 0, 1, 2, 2, 2,  // bottom row
                                              3, 3, 3, 3, 3, 2, 2, 2,  //
                                              0, 1, 2, 3, 7, 2, 2, 2})),
                     {5, 3},
                     {{0, 0, palette[0]},
                      {1, 0, palette[1]},
                      {2, 0, palette[2]},
                      {3, 0, palette[3]},
                      {4, 0, kBlack},
                      {4, 1, palette[3]},
                      {0, 2, palette[1]},
                      {1, 2, palette[0]},
                      {4, 2, palette[1]}}});
  }

  {
    // Four entries written, two declared in use: index 3 is past the palette.
    const std::vector<QRgb> palette = {qRgb(200, 0, 0), qRgb(0, 200, 0), qRgb(0, 0, 200),
                                       qRgb(50, 60, 70)};
    cases.push_back({"Palette8UsesOnlyTheDeclaredColours",
                     fixtures::bmpFile(fixtures::bmpInfoHeader(info(3, 1, 8, 0, 2)),
                                       fixtures::bmpPalette(palette), bytes({0, 1, 3, 0})),
                     {3, 1},
                     {{0, 0, palette[0]}, {1, 0, palette[1]}, {2, 0, kBlack}}});
  }

  {
    // Nine 4-bit pixels: 5 bytes, padded to 8. No colour count: all 16.
    DecodeCase c{"Palette4",
                 fixtures::bmpFile(fixtures::bmpInfoHeader(info(9, 2, 4)),
                                   fixtures::bmpPalette(sixteenColours()),
                                   bytes({0xFE, 0xDC, 0xBA, 0x98, 0x7F, 0xFF, 0xFF, 0xFF,  //
                                          0x01, 0x23, 0x45, 0x67, 0x8F, 0xFF, 0xFF, 0xFF})),
                 {9, 2},
                 {}};
    for (int x = 0; x < 9; ++x) {
      c.probes.push_back({x, 0, sixteen(x)});
      c.probes.push_back({x, 1, sixteen(15 - x)});
    }
    cases.push_back(std::move(c));
  }

  {
    // Ten 1-bit pixels per row: 1011000110 on top, 0100111001 below.
    const QRgb zero = qRgb(20, 40, 60);
    const QRgb one = qRgb(200, 180, 160);
    DecodeCase c{"Palette1",
                 fixtures::bmpFile(fixtures::bmpInfoHeader(info(10, 2, 1, 0, 2)),
                                   fixtures::bmpPalette({zero, one}),
                                   bytes({0x4E, 0x7F, 0xFF, 0xFF, 0xB1, 0xBF, 0xFF, 0xFF})),
                 {10, 2},
                 {}};
    const char* rows[] = {"1011000110", "0100111001"};
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 10; ++x) c.probes.push_back({x, y, rows[y][x] == '1' ? one : zero});
    cases.push_back(std::move(c));
  }

  // Negative height: rows run top to bottom. The fourth byte is unused.
  cases.push_back({"Rgb32TopDown",
                   fixtures::bmpFile(fixtures::bmpInfoHeader(info(2, -3, 32)), {},
                                     bytes({1, 2, 3, 0x55, 4, 5, 6, 0x55,  //
                                            7, 8, 9, 0x55, 10, 11, 12, 0x55,  //
                                            13, 14, 15, 0x55, 16, 17, 18, 0x55})),
                   {2, 3},
                   {{0, 0, qRgb(3, 2, 1)},
                    {1, 0, qRgb(6, 5, 4)},
                    {0, 1, qRgb(9, 8, 7)},
                    {1, 1, qRgb(12, 11, 10)},
                    {0, 2, qRgb(15, 14, 13)},
                    {1, 2, qRgb(18, 17, 16)}}});

  {
    // 5-5-5: 0x7C00 is full red, 0x03E0 full green; 0x0210 has 16 of 31 in
    // green and blue, 16 * 255 / 31 = 131.6.
    QByteArray pixels;
    for (std::uint16_t p : {0x7C00, 0x03E0, 0x0210}) appendU16(pixels, p);
    pixels += bytes({0xFF, 0x7F});
    cases.push_back({"Rgb16Default555",
                     fixtures::bmpFile(fixtures::bmpInfoHeader(info(3, 1, 16)), {}, pixels),
                     {3, 1},
                     {{0, 0, qRgb(255, 0, 0)}, {1, 0, qRgb(0, 255, 0)}, {2, 0, qRgb(0, 132, 132)}}});
  }

  {
    // 5-6-5 through bit fields after a 40-byte header: 32 of 63 in green is
    // 32 * 255 / 63 = 129.5.
    QByteArray masks;
    for (std::uint32_t m : {0xF800u, 0x07E0u, 0x001Fu}) appendU32(masks, m);
    QByteArray pixels;
    for (std::uint16_t p : {0xF800, 0x07E0, 0x0400, 0x001F}) appendU16(pixels, p);
    cases.push_back({"Rgb16BitFields565",
                     fixtures::bmpFile(fixtures::bmpInfoHeader(info(4, 1, 16, kBitFields)), masks,
                                       pixels),
                     {4, 1},
                     {{0, 0, qRgb(255, 0, 0)},
                      {1, 0, qRgb(0, 255, 0)},
                      {2, 0, qRgb(0, 130, 0)},
                      {3, 0, qRgb(0, 0, 255)}}});
  }

  {
    // A V5 header whose masks put red in the lowest byte.
    BmpInfo header = info(2, -1, 32, kBitFields);
    header.headerSize = 124;
    header.masks[0] = 0x000000FF;
    header.masks[1] = 0x0000FF00;
    header.masks[2] = 0x00FF0000;
    cases.push_back({"V5BitFields32",
                     fixtures::bmpFile(fixtures::bmpInfoHeader(header), {},
                                       bytes({11, 22, 33, 0x99, 44, 55, 66, 0x99})),
                     {2, 1},
                     {{0, 0, qRgb(11, 22, 33)}, {1, 0, qRgb(44, 55, 66)}}});
  }

  {
    // A V4 header with plain 24-bit pixels: its masks do not apply.
    BmpInfo header = info(2, 1, 24);
    header.headerSize = 108;
    header.masks[0] = 0x000000FF;
    header.masks[1] = 0x0000FF00;
    header.masks[2] = 0x00FF0000;
    cases.push_back({"V4Rgb24",
                     fixtures::bmpFile(fixtures::bmpInfoHeader(header), {},
                                       bytes({1, 2, 3, 4, 5, 6, 0xEE, 0xEE})),
                     {2, 1},
                     {{0, 0, qRgb(3, 2, 1)}, {1, 0, qRgb(6, 5, 4)}}});
  }

  cases.push_back({"Os2Core24",
                   fixtures::bmpFile(fixtures::bmpCoreHeader(2, 2, 24), {},
                                     bytes({10, 20, 30, 40, 50, 60, 0xEE, 0xEE,  //
                                            70, 80, 90, 100, 110, 120, 0xEE, 0xEE})),
                   {2, 2},
                   {{0, 0, qRgb(90, 80, 70)},
                    {1, 0, qRgb(120, 110, 100)},
                    {0, 1, qRgb(30, 20, 10)},
                    {1, 1, qRgb(60, 50, 40)}}});

  // Three-byte palette entries; the palette ends where the pixels begin.
  cases.push_back({"Os2Core8",
                   fixtures::bmpFile(fixtures::bmpCoreHeader(3, 1, 8),
                                     bytes({1, 2, 3, 4, 5, 6, 7, 8, 9}),
                                     bytes({2, 0, 1, 0xEE})),
                   {3, 1},
                   {{0, 0, qRgb(9, 8, 7)}, {1, 0, qRgb(3, 2, 1)}, {2, 0, qRgb(6, 5, 4)}}});

  {
    // Bottom row: a run of three 1s, a literal 2 3 1 (padded), end of line.
    // Next row: two 2s, then a jump of 2 right and 1 up. Top row: from x = 4,
    // two 3s, end of picture. Skipped pixels stay black, not palette entry 0.
    const std::vector<QRgb> palette = {qRgb(9, 9, 9), qRgb(200, 0, 0), qRgb(0, 200, 0),
                                       qRgb(0, 0, 200)};
    const QRgb red = palette[1], green = palette[2], blue = palette[3];
    cases.push_back({"Rle8",
                     fixtures::bmpFile(fixtures::bmpInfoHeader(info(6, 3, 8, kRle8, 4)),
                                       fixtures::bmpPalette(palette),
                                       bytes({3, 1, 0, 3, 2, 3, 1, 0, 0, 0,  //
                                              2, 2, 0, 2, 2, 1,              //
                                              2, 3, 0, 1})),
                     {6, 3},
                     {{0, 2, red},   {1, 2, red},   {2, 2, red},    {3, 2, green}, {4, 2, blue},
                      {5, 2, red},   {0, 1, green}, {1, 1, green},  {2, 1, kBlack}, {5, 1, kBlack},
                      {0, 0, kBlack}, {3, 0, kBlack}, {4, 0, blue}, {5, 0, blue}}});
  }

  {
    // Bottom row: a run of five alternating 1 and 2, end of line. Top row: a
    // literal of five nibbles 3 4 5 6 7 (three bytes, padded to four), end.
    DecodeCase c{"Rle4",
                 fixtures::bmpFile(fixtures::bmpInfoHeader(info(5, 2, 4, kRle4)),
                                   fixtures::bmpPalette(sixteenColours()),
                                   bytes({5, 0x12, 0, 0,  //
                                          0, 5, 0x34, 0x56, 0x70, 0, 0, 1})),
                 {5, 2},
                 {}};
    const int bottom[] = {1, 2, 1, 2, 1};
    for (int x = 0; x < 5; ++x) {
      c.probes.push_back({x, 1, sixteen(bottom[x])});
      c.probes.push_back({x, 0, sixteen(3 + x)});
    }
    cases.push_back(std::move(c));
  }
  return cases;
}

class BmpDecode : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(BmpDecode, GivesTheExpectedColours) {
  const std::optional<QImage> image = decodeBmp(GetParam().file);
  ASSERT_TRUE(image.has_value());
  EXPECT_EQ(image->size(), GetParam().size);
  EXPECT_EQ(image->format(), QImage::Format_RGB32);
  EXPECT_TRUE(fixtures::probesMatch(*image, GetParam().probes));
}

// Every cut of every file fails: rows, palettes and RLE streams must all be
// complete.
TEST_P(BmpDecode, EveryTruncationFails) {
  const QByteArray& file = GetParam().file;
  for (qsizetype cut = 0; cut < file.size(); ++cut)
    EXPECT_FALSE(decodeBmp(file.left(cut)).has_value()) << "cut at " << cut;
}

TEST_P(BmpDecode, FlippedBytesGiveAPictureOrNothing) {
  const QByteArray& valid = GetParam().file;
  for (qsizetype i = 0; i < valid.size(); ++i) {
    for (const char mask : {'\xFF', '\x80', '\x01'}) {
      QByteArray file = valid;
      file[i] = static_cast<char>(file[i] ^ mask);
      const std::optional<QImage> image = decodeBmp(file);
      if (image) {
        EXPECT_TRUE(isSanePictureSize(image->width(), image->height())) << "byte " << i;
        EXPECT_EQ(image->format(), QImage::Format_RGB32) << "byte " << i;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(BmpKinds, BmpDecode, ::testing::ValuesIn(decodeCases()),
                         [](const auto& info) { return info.param.name; });

TEST(BmpFile, ReadsAFileAndFailsQuietlyWithoutOne) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString path = dir.filePath("picture.bmp");
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(fixtures::bmpFile(fixtures::bmpInfoHeader(info(1, 1, 24)), {}, bytes({7, 8, 9, 0})));
  file.close();

  const std::optional<QImage> image = decodeBmp(path);
  ASSERT_TRUE(image.has_value());
  EXPECT_TRUE(fixtures::pixelIs(*image, 0, 0, qRgb(9, 8, 7)));
  EXPECT_FALSE(decodeBmp(dir.filePath("absent.bmp")).has_value());
}

void putU32(QByteArray& file, int offset, std::uint32_t value) {
  QByteArray le;
  appendU32(le, value);
  file.replace(offset, 4, le);
}

void putU16(QByteArray& file, int offset, std::uint16_t value) {
  QByteArray le;
  appendU16(le, value);
  file.replace(offset, 2, le);
}

// Offsets in a file with the 40-byte header.
constexpr int kPixelOffsetField = 10;
constexpr int kHeaderSizeField = 14;
constexpr int kWidthField = 18;
constexpr int kHeightField = 22;
constexpr int kBitsField = 28;
constexpr int kCompressionField = 30;

TEST(BmpErrors, ImpossibleHeadersFail) {
  // A sound 2x2 24-bit file to damage.
  const QByteArray valid = fixtures::bmpFile(fixtures::bmpInfoHeader(info(2, 2, 24)), {},
                                             QByteArray(16, '\x40'));
  ASSERT_TRUE(decodeBmp(valid).has_value());

  QByteArray holeyMasks;
  for (std::uint32_t m : {0xF0F0u, 0x0F00u, 0x000Fu}) appendU32(holeyMasks, m);
  QByteArray goodMasks;
  for (std::uint32_t m : {0xF800u, 0x07E0u, 0x001Fu}) appendU32(goodMasks, m);

  const std::vector<std::pair<const char*, std::function<QByteArray()>>> damages = {
      {"bad magic", [&] { QByteArray f = valid; f[1] = 'X'; return f; }},
      {"header size 20", [&] { QByteArray f = valid; putU32(f, kHeaderSizeField, 20); return f; }},
      {"header larger than the file",
       [&] { QByteArray f = valid; putU32(f, kHeaderSizeField, 124); return f; }},
      {"7 bits per pixel", [&] { QByteArray f = valid; putU16(f, kBitsField, 7); return f; }},
      {"0 bits per pixel", [&] { QByteArray f = valid; putU16(f, kBitsField, 0); return f; }},
      {"JPEG compression", [&] { QByteArray f = valid; putU32(f, kCompressionField, 4); return f; }},
      {"bit fields on 24 bits",
       [&] { QByteArray f = valid; putU32(f, kCompressionField, kBitFields); return f; }},
      {"RLE8 on 24 bits",
       [&] { QByteArray f = valid; putU32(f, kCompressionField, kRle8); return f; }},
      {"width 0", [&] { QByteArray f = valid; putU32(f, kWidthField, 0); return f; }},
      {"height 0", [&] { QByteArray f = valid; putU32(f, kHeightField, 0); return f; }},
      {"negative width",
       [&] { QByteArray f = valid; putU32(f, kWidthField, static_cast<std::uint32_t>(-2)); return f; }},
      {"most negative height",
       [&] { QByteArray f = valid; putU32(f, kHeightField, 0x80000000u); return f; }},
      {"huge width",
       [&] { QByteArray f = valid; putU32(f, kWidthField, 0x7FFFFFFFu); return f; }},
      {"pixel offset past the end",
       [&] { QByteArray f = valid; putU32(f, kPixelOffsetField, static_cast<std::uint32_t>(f.size() + 1)); return f; }},
      {"pixel offset inside the header",
       [&] { QByteArray f = valid; putU32(f, kPixelOffsetField, 20); return f; }},
      {"pixel offset near 4G",
       [&] { QByteArray f = valid; putU32(f, kPixelOffsetField, 0xFFFFFFF0u); return f; }},
      {"mask with a hole",
       [&] {
         return fixtures::bmpFile(fixtures::bmpInfoHeader(info(1, 1, 16, kBitFields)), holeyMasks,
                                  bytes({0, 0, 0, 0}));
       }},
      {"pixel offset inside the masks",
       [&] {
         QByteArray f = fixtures::bmpFile(fixtures::bmpInfoHeader(info(2, 1, 16, kBitFields)),
                                          goodMasks, bytes({0, 0, 0, 0}));
         putU32(f, kPixelOffsetField, 14 + 40 + 4);
         return f;
       }},
      {"masks missing",
       [&] {
         return fixtures::bmpFile(fixtures::bmpInfoHeader(info(1, 1, 16, kBitFields)), {}, {});
       }},
      {"top-down RLE8",
       [&] {
         return fixtures::bmpFile(fixtures::bmpInfoHeader(info(2, -1, 8, kRle8)),
                                  fixtures::bmpPalette({kBlack}), bytes({2, 0, 0, 1}));
       }},
      {"RLE literal past the end",
       [&] {
         return fixtures::bmpFile(fixtures::bmpInfoHeader(info(20, 1, 8, kRle8)),
                                  fixtures::bmpPalette({kBlack}), bytes({0, 16, 1, 2, 3}));
       }},
      {"RLE jump past the end",
       [&] {
         return fixtures::bmpFile(fixtures::bmpInfoHeader(info(2, 1, 8, kRle8)),
                                  fixtures::bmpPalette({kBlack}), bytes({0, 2, 1}));
       }},
      {"RLE without end of picture",
       [&] {
         return fixtures::bmpFile(fixtures::bmpInfoHeader(info(2, 1, 8, kRle8)),
                                  fixtures::bmpPalette({kBlack}), bytes({2, 0, 0, 0}));
       }},
      {"bit fields whose mask is fine but pixels are missing",
       [&] {
         return fixtures::bmpFile(fixtures::bmpInfoHeader(info(3, 1, 16, kBitFields)), goodMasks,
                                  bytes({0, 0}));
       }},
  };
  for (const auto& [name, make] : damages) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(decodeBmp(make()).has_value());
  }
}

// RLE pixels that land outside the picture are dropped, and the stream may go
// on after them.
TEST(BmpDecodeRle, RunsBeyondTheEdgesAreDropped) {
  const QByteArray file = fixtures::bmpFile(
      fixtures::bmpInfoHeader(info(2, 1, 8, kRle8)),
      fixtures::bmpPalette({kBlack, qRgb(10, 20, 30)}),
      bytes({255, 1,         // 255 pixels on a 2-pixel row
             0, 0, 9, 1,     // a row above the picture
             0, 2, 255, 255,  // a jump far outside
             0, 1}));
  const std::optional<QImage> image = decodeBmp(file);
  ASSERT_TRUE(image.has_value());
  EXPECT_TRUE(fixtures::probesMatch(*image, {{0, 0, qRgb(10, 20, 30)}, {1, 0, qRgb(10, 20, 30)}}));
}

// Files that hold all their pixels, so only the size can make them fail.
TEST(BmpErrors, PicturesBeyondTheSizeLimitsAreRefused) {
  struct Limit {
    std::int32_t width;
    std::int32_t height;
    std::uint16_t bitsPerPixel;
    bool accepted;
  };
  for (const Limit& limit : {Limit{32768, 1, 24, true}, Limit{32769, 1, 24, false},
                             Limit{1, 32769, 24, false}, Limit{1, -32769, 24, false},
                             // 268,468,224 pixels, just over 256M
                             Limit{32768, 8193, 1, false}}) {
    SCOPED_TRACE(std::to_string(limit.width) + "x" + std::to_string(limit.height));
    const std::size_t stride = (static_cast<std::size_t>(limit.width) * limit.bitsPerPixel + 31) / 32 * 4;
    const std::size_t rows = static_cast<std::size_t>(std::abs(limit.height));
    QByteArray palette;
    if (limit.bitsPerPixel == 1) palette = fixtures::bmpPalette({kBlack, qRgb(1, 1, 1)});
    const QByteArray file = fixtures::bmpFile(
        fixtures::bmpInfoHeader(info(limit.width, limit.height, limit.bitsPerPixel)), palette,
        QByteArray(static_cast<qsizetype>(stride * rows), '\x11'));

    const std::optional<QImage> image = decodeBmp(file);
    EXPECT_EQ(image.has_value(), limit.accepted);
    if (image) {
      EXPECT_EQ(image->size(), QSize(limit.width, limit.height));
    }
  }
}

}  // namespace
}  // namespace corvant::imaging
