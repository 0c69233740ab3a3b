#include "imaging/fixtures.h"
#include "imaging/picture.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <png.h>

#include <functional>
#include <ostream>
#include <string>

namespace corvant::imaging {
namespace {

using fixtures::PngPicture;
using fixtures::Probe;

constexpr QRgb kMagenta = qRgb(255, 0, 255);
constexpr const char* kReadingError = "Error Reading File!";

PngPicture png(int width, int height, int bitDepth, int colourType,
               std::vector<std::uint8_t> data) {
  PngPicture picture;
  picture.width = width;
  picture.height = height;
  picture.bitDepth = bitDepth;
  picture.colourType = colourType;
  picture.data = std::move(data);
  return picture;
}

// The text of the PictureError that `decode` throws, or a note saying what
// happened instead, so that one comparison covers type and message.
std::string thrownText(const std::function<void()>& decode) {
  try {
    decode();
  } catch (const PictureError& error) {
    return error.what();
  } catch (const std::exception& error) {
    return std::string("other exception: ") + error.what();
  }
  return "nothing thrown";
}

QImage sentinelTarget() {
  QImage target(2, 2, QImage::Format_RGB32);
  target.fill(qRgb(1, 2, 3));
  target.setPixel(1, 1, qRgb(4, 5, 6));
  return target;
}

// Expected colours on a fresh (null) target, where every area starts as
// magenta. The blended values were worked out by hand from
// (h * under + (255 - h) * picture) / 255 with h = 255 - alpha.
struct DecodeCase {
  std::string name;
  std::function<PngPicture()> make;
  std::vector<Probe> probes;
};

void PrintTo(const DecodeCase& c, std::ostream* out) { *out << c.name; }

std::vector<DecodeCase> decodeCases() {
  std::vector<DecodeCase> cases;
  cases.push_back({"Rgb8",
                   [] {
                     return png(3, 2, 8, PNG_COLOR_TYPE_RGB,
                                {255, 0, 0, 0, 255, 0, 0, 0, 255,  //
                                 10, 20, 30, 40, 50, 60, 70, 80, 90});
                   },
                   {{0, 0, qRgb(255, 0, 0)},
                    {1, 0, qRgb(0, 255, 0)},
                    {2, 0, qRgb(0, 0, 255)},
                    {0, 1, qRgb(10, 20, 30)},
                    {1, 1, qRgb(40, 50, 60)},
                    {2, 1, qRgb(70, 80, 90)}}});
  cases.push_back({"RgbaOpaqueTransparentAndBetween",
                   [] {
                     return fixtures::rgbaPng(4, 1, {10, 20, 30, 255, 10, 20, 30, 0,  //
                                                     100, 50, 200, 155, 255, 255, 255, 1});
                   },
                   {{0, 0, qRgb(10, 20, 30)},
                    {1, 0, kMagenta},
                    // h = 100: (25500 + 15500) / 255, 7750 / 255, (25500 + 31000) / 255
                    {2, 0, qRgb(160, 30, 221)},
                    // h = 254: green is 255 / 255
                    {3, 0, qRgb(255, 1, 255)}}});
  cases.push_back({"Palette8",
                   [] {
                     PngPicture p = png(2, 1, 8, PNG_COLOR_TYPE_PALETTE, {1, 0});
                     p.palette = {{1, 2, 3}, {250, 251, 252}};
                     return p;
                   },
                   {{0, 0, qRgb(250, 251, 252)}, {1, 0, qRgb(1, 2, 3)}}});
  cases.push_back({"Palette2BitWithTrns",
                   [] {
                     // Indices 0, 1, 2, 3 packed two bits each: 00 01 10 11.
                     PngPicture p = png(4, 1, 2, PNG_COLOR_TYPE_PALETTE, {0x1B});
                     p.palette = {{200, 10, 10}, {10, 200, 10}, {10, 10, 200}, {50, 60, 70}};
                     p.paletteAlpha = {255, 0, 155};  // the last entry has none: opaque
                     return p;
                   },
                   {{0, 0, qRgb(200, 10, 10)},
                    {1, 0, kMagenta},
                    // h = 100 over (10, 10, 200): 27050 / 255, 1550 / 255, 56500 / 255
                    {2, 0, qRgb(106, 6, 221)},
                    {3, 0, qRgb(50, 60, 70)}}});
  cases.push_back({"Grey1Bit",
                   [] {
                     // 1011000110, padded to two bytes.
                     return png(10, 1, 1, PNG_COLOR_TYPE_GRAY, {0xB1, 0x80});
                   },
                   {{0, 0, qRgb(255, 255, 255)},
                    {1, 0, qRgb(0, 0, 0)},
                    {2, 0, qRgb(255, 255, 255)},
                    {3, 0, qRgb(255, 255, 255)},
                    {4, 0, qRgb(0, 0, 0)},
                    {6, 0, qRgb(0, 0, 0)},
                    {7, 0, qRgb(255, 255, 255)},
                    {8, 0, qRgb(255, 255, 255)},
                    {9, 0, qRgb(0, 0, 0)}}});
  cases.push_back({"Grey8WithTransparentGrey",
                   [] {
                     PngPicture p = png(3, 1, 8, PNG_COLOR_TYPE_GRAY, {0, 128, 77});
                     p.transparentGrey = 128;
                     return p;
                   },
                   {{0, 0, qRgb(0, 0, 0)}, {1, 0, kMagenta}, {2, 0, qRgb(77, 77, 77)}}});
  cases.push_back({"GreyAlpha8",
                   [] {
                     return png(3, 1, 8, PNG_COLOR_TYPE_GRAY_ALPHA, {90, 255, 90, 0, 90, 155});
                   },
                   {{0, 0, qRgb(90, 90, 90)},
                    {1, 0, kMagenta},
                    // h = 100 over grey 90: 39450 / 255, 13950 / 255, 39450 / 255
                    {2, 0, qRgb(154, 54, 154)}}});
  cases.push_back({"Rgb16TakesTheHighBytes",
                   [] {
                     // Samples C0FF 1280 34FE and 0001 FF00 8080: copying the
                     // bytes raw would mix high and low bytes across channels.
                     return png(2, 1, 16, PNG_COLOR_TYPE_RGB,
                                {0xC0, 0xFF, 0x12, 0x80, 0x34, 0xFE,  //
                                 0x00, 0x01, 0xFF, 0x00, 0x80, 0x80});
                   },
                   {{0, 0, qRgb(0xC0, 0x12, 0x34)}, {1, 0, qRgb(0x00, 0xFF, 0x80)}}});
  cases.push_back({"Rgba16",
                   [] {
                     return png(1, 1, 16, PNG_COLOR_TYPE_RGB_ALPHA,
                                {0xAB, 0x12, 0xCD, 0x34, 0xEF, 0x56, 0x64, 0x00});
                   },
                   // alpha 0x64 = 100, h = 155 over (171, 205, 239):
                   // 56625 / 255, 20500 / 255, 63425 / 255
                   {{0, 0, qRgb(222, 80, 248)}}});

  // Adam7: every pixel must land where it belongs.
  const auto interlacedColour = [](int x, int y) {
    return qRgb(x * 28, y * 28, 255 - (x + y) * 14);
  };
  DecodeCase interlaced{"Interlaced",
                        [interlacedColour] {
                          PngPicture p = png(9, 9, 8, PNG_COLOR_TYPE_RGB, {});
                          p.interlaced = true;
                          for (int y = 0; y < 9; ++y)
                            for (int x = 0; x < 9; ++x) {
                              const QRgb c = interlacedColour(x, y);
                              p.data.insert(p.data.end(), {static_cast<std::uint8_t>(qRed(c)),
                                                           static_cast<std::uint8_t>(qGreen(c)),
                                                           static_cast<std::uint8_t>(qBlue(c))});
                            }
                          return p;
                        },
                        {}};
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 9; ++x) interlaced.probes.push_back({x, y, interlacedColour(x, y)});
  cases.push_back(std::move(interlaced));
  return cases;
}

class PngDecode : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(PngDecode, GivesTheExpectedColoursOnAFreshTarget) {
  const PngPicture picture = GetParam().make();
  const QByteArray bytes = fixtures::writePng(picture);
  ASSERT_FALSE(bytes.isEmpty());

  QImage target;
  decodePngOnto(bytes, target);
  EXPECT_EQ(target.size(), QSize(picture.width, picture.height));
  EXPECT_EQ(target.format(), QImage::Format_RGB32);
  EXPECT_TRUE(fixtures::probesMatch(target, GetParam().probes));
}

INSTANTIATE_TEST_SUITE_P(PngKinds, PngDecode, ::testing::ValuesIn(decodeCases()),
                         [](const auto& info) { return info.param.name; });

TEST(PngOnto, KeepsCoveredOldPixelsAndStartsTheRestMagenta) {
  QImage target(4, 2, QImage::Format_RGB32);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) target.setPixel(x, y, qRgb(10 + 60 * x, 20 + 100 * y, 77));
  const QImage old = target;

  // Fully transparent everywhere, so what shows is what lay underneath.
  const QByteArray bytes =
      fixtures::writePng(fixtures::rgbaPng(3, 4, std::vector<std::uint8_t>(3 * 4 * 4, 0)));
  ASSERT_FALSE(bytes.isEmpty());
  decodePngOnto(bytes, target);

  ASSERT_EQ(target.size(), QSize(3, 4));
  EXPECT_EQ(target.format(), QImage::Format_RGB32);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 3; ++x)
      EXPECT_TRUE(fixtures::pixelIs(target, x, y, y < 2 ? old.pixel(x, y) : kMagenta));
}

TEST(PngOnto, BlendsByInvertedAlphaWithIntegerDivision) {
  QImage target(4, 1, QImage::Format_RGB32);
  target.fill(qRgb(200, 100, 50));
  const QByteArray bytes = fixtures::writePng(fixtures::rgbaPng(
      4, 1, {10, 20, 30, 255, 90, 90, 90, 0, 50, 250, 0, 155, 0, 0, 0, 254}));
  ASSERT_FALSE(bytes.isEmpty());
  decodePngOnto(bytes, target);

  EXPECT_TRUE(fixtures::probesMatch(
      target, {{0, 0, qRgb(10, 20, 30)},    // h = 0: the picture
               {1, 0, qRgb(200, 100, 50)},  // h = 255: the target
               // h = 100: 27750 / 255 = 108.8, 48750 / 255 = 191.2, 5000 / 255 = 19.6;
               // rounding instead of truncating would give 109 and 20
               {2, 0, qRgb(108, 191, 19)},
               // h = 1 over black: 200 / 255, 100 / 255, 50 / 255 all truncate to 0
               {3, 0, qRgb(0, 0, 0)}}));
}

TEST(PngOnto, OpaquePictureReplacesTheTargetAndItsSize) {
  QImage target(5, 5, QImage::Format_RGB32);
  target.fill(qRgb(9, 9, 9));
  const QByteArray bytes = fixtures::writePng(
      png(2, 1, 8, PNG_COLOR_TYPE_RGB, {11, 22, 33, 44, 55, 66}));
  ASSERT_FALSE(bytes.isEmpty());
  decodePngOnto(bytes, target);

  ASSERT_EQ(target.size(), QSize(2, 1));
  EXPECT_TRUE(fixtures::probesMatch(target, {{0, 0, qRgb(11, 22, 33)}, {1, 0, qRgb(44, 55, 66)}}));
}

// A translucent picture is blended row by row as it is read, except when
// interlaced, where it is read whole first. Both ways must give the same
// target, including where the old target ran out and magenta lay underneath.
TEST(PngOnto, InterlacedAndPlainTranslucentPicturesLayAlike) {
  constexpr int kWidth = 11;
  constexpr int kHeight = 9;
  std::vector<std::uint8_t> rgba;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x)
      rgba.insert(rgba.end(), {static_cast<std::uint8_t>(x * 23), static_cast<std::uint8_t>(y * 27),
                               static_cast<std::uint8_t>(x * y),
                               static_cast<std::uint8_t>((x * 51 + y * 29) % 256)});
  PngPicture plain = fixtures::rgbaPng(kWidth, kHeight, rgba);
  PngPicture interlaced = plain;
  interlaced.interlaced = true;

  QImage start(7, 12, QImage::Format_RGB32);
  for (int y = 0; y < start.height(); ++y)
    for (int x = 0; x < start.width(); ++x) start.setPixel(x, y, qRgb(200 - x * 20, y * 20, 90));

  QImage fromPlain = start;
  QImage fromInterlaced = start;
  decodePngOnto(fixtures::writePng(plain), fromPlain);
  decodePngOnto(fixtures::writePng(interlaced), fromInterlaced);
  ASSERT_EQ(fromPlain.size(), QSize(kWidth, kHeight));
  EXPECT_EQ(fromInterlaced, fromPlain);
  // Spot checks that the blending happened at all. (1, 1): alpha 80, h = 175,
  // (23, 27, 1) over (180, 20, 90): 33340 / 255, 5660 / 255, 15830 / 255.
  // (8, 1): alpha 181, h = 74, (184, 27, 8) over magenta: 52174 / 255,
  // 4887 / 255, 20318 / 255.
  EXPECT_TRUE(fixtures::probesMatch(fromPlain,
                                    {{1, 1, qRgb(130, 22, 62)}, {8, 1, qRgb(204, 19, 79)}}));
}

TEST(PngOnto, TargetInAnotherFormatKeepsItsColoursAndBecomesRgb32) {
  QImage target(2, 1, QImage::Format_ARGB32);
  target.setPixel(0, 0, qRgba(30, 60, 90, 255));
  target.setPixel(1, 0, qRgba(120, 130, 140, 255));
  const QByteArray bytes =
      fixtures::writePng(fixtures::rgbaPng(2, 1, {0, 0, 0, 0, 0, 0, 0, 0}));
  ASSERT_FALSE(bytes.isEmpty());
  decodePngOnto(bytes, target);

  EXPECT_EQ(target.format(), QImage::Format_RGB32);
  EXPECT_TRUE(
      fixtures::probesMatch(target, {{0, 0, qRgb(30, 60, 90)}, {1, 0, qRgb(120, 130, 140)}}));
}

TEST(PngFile, ReadsThePictureFromAFile) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString path = dir.filePath("picture.png");
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(fixtures::writePng(png(1, 1, 8, PNG_COLOR_TYPE_RGB, {7, 8, 9})));
  file.close();

  QImage target;
  decodePngFileOnto(path, target);
  EXPECT_EQ(target.size(), QSize(1, 1));
  EXPECT_TRUE(fixtures::pixelIs(target, 0, 0, qRgb(7, 8, 9)));
}

TEST(PngErrors, FileThatCannotBeOpenedNamesThePathAsGiven) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  for (const QString& path : {dir.filePath("absent.png"), QString("no/such/folder/x.png"),
                              dir.path() /* a folder, not a file */}) {
    SCOPED_TRACE(path.toStdString());
    QImage target = sentinelTarget();
    EXPECT_EQ(thrownText([&] { decodePngFileOnto(path, target); }),
              "Error Opening File " + path.toStdString() + "!");
    EXPECT_EQ(target, sentinelTarget());
  }
}

TEST(PngErrors, DataThatIsNoPngThrowsReadingError) {
  const QByteArray valid = fixtures::writePng(png(1, 1, 8, PNG_COLOR_TYPE_RGB, {7, 8, 9}));
  ASSERT_FALSE(valid.isEmpty());
  QByteArray badSignature = valid;
  badSignature[1] = 'X';

  const std::vector<std::pair<const char*, QByteArray>> inputs = {
      {"empty", QByteArray()},
      {"gif", QByteArray("GIF89a\x01\x00\x01\x00\x00\x00\x00;", 13)},
      {"signature only", valid.left(8)},
      {"signature and garbage", valid.left(8) + QByteArray(64, '\x5A')},
      {"bad signature", badSignature},
  };
  for (const auto& [name, bytes] : inputs) {
    SCOPED_TRACE(name);
    QImage target = sentinelTarget();
    EXPECT_EQ(thrownText([&] { decodePngOnto(bytes, target); }), kReadingError);
    EXPECT_EQ(target, sentinelTarget());
  }
}

TEST(PngErrors, FileThatOpensButIsNoPngThrowsReadingError) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString path = dir.filePath("fake.png");
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("BM this is no png");
  file.close();

  QImage target = sentinelTarget();
  EXPECT_EQ(thrownText([&] { decodePngFileOnto(path, target); }), kReadingError);
  EXPECT_EQ(target, sentinelTarget());
}

// A file cut anywhere up to the end of its image data fails and leaves the
// target alone; cut after that (inside the closing IEND chunk) it still shows.
TEST(PngErrors, TruncatedDataThrowsUntilTheImageDataIsComplete) {
  std::vector<std::uint8_t> rgba;
  for (int i = 0; i < 6 * 5; ++i)
    rgba.insert(rgba.end(), {static_cast<std::uint8_t>(i * 8), static_cast<std::uint8_t>(255 - i),
                             static_cast<std::uint8_t>(i * i), static_cast<std::uint8_t>(i * 9)});
  PngPicture palette = png(4, 1, 2, PNG_COLOR_TYPE_PALETTE, {0x1B});
  palette.palette = {{200, 10, 10}, {10, 200, 10}, {10, 10, 200}, {50, 60, 70}};
  palette.paletteAlpha = {255, 0, 155};
  PngPicture interlaced = png(9, 9, 8, PNG_COLOR_TYPE_GRAY, std::vector<std::uint8_t>(81, 0));
  for (int i = 0; i < 81; ++i) interlaced.data[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i * 3);
  interlaced.interlaced = true;

  const std::vector<std::pair<const char*, PngPicture>> pictures = {
      {"rgba", fixtures::rgbaPng(6, 5, rgba)},
      {"palette", palette},
      {"interlaced grey", interlaced},
      {"rgb16", png(2, 2, 16, PNG_COLOR_TYPE_RGB, std::vector<std::uint8_t>(24, 0x9C))},
  };
  for (const auto& [name, picture] : pictures) {
    SCOPED_TRACE(name);
    const QByteArray bytes = fixtures::writePng(picture);
    ASSERT_GT(bytes.size(), 12);
    ASSERT_EQ(bytes.mid(bytes.size() - 8, 4), QByteArray("IEND"));
    const qsizetype imageDataEnd = bytes.size() - 12;

    QImage full = sentinelTarget();
    decodePngOnto(bytes, full);
    for (qsizetype cut = 0; cut <= bytes.size(); ++cut) {
      SCOPED_TRACE("cut at " + std::to_string(cut));
      QImage target = sentinelTarget();
      const std::string thrown = thrownText([&] { decodePngOnto(bytes.left(cut), target); });
      if (cut < imageDataEnd) {
        EXPECT_EQ(thrown, kReadingError);
        EXPECT_EQ(target, sentinelTarget());
      } else {
        EXPECT_EQ(thrown, "nothing thrown");
        EXPECT_EQ(target, full);
      }
    }
  }
}

// Offset of the length field of the first chunk of this type.
qsizetype chunkOffset(const QByteArray& png, const char* type) {
  return png.indexOf(type) - 4;
}

TEST(PngErrors, DamagedChunksThrowReadingError) {
  const QByteArray valid =
      fixtures::writePng(png(3, 2, 8, PNG_COLOR_TYPE_RGB, std::vector<std::uint8_t>(18, 0x40)));
  ASSERT_FALSE(valid.isEmpty());
  const qsizetype ihdr = chunkOffset(valid, "IHDR");
  const qsizetype idat = chunkOffset(valid, "IDAT");
  ASSERT_EQ(ihdr, 8);
  ASSERT_GT(idat, ihdr);

  const std::vector<std::pair<const char*, std::function<void(QByteArray&)>>> damages = {
      {"image data checksum", [&](QByteArray& b) { b[b.indexOf("IEND") - 5] ^= 0x01; }},
      {"bit depth 3",
       [&](QByteArray& b) {
         b[ihdr + 16] = 3;
         fixtures::fixChunkCrc(b, static_cast<int>(ihdr));
       }},
      {"colour type 5",
       [&](QByteArray& b) {
         b[ihdr + 17] = 5;
         fixtures::fixChunkCrc(b, static_cast<int>(ihdr));
       }},
      {"width 0",
       [&](QByteArray& b) {
         for (int i = 8; i < 12; ++i) b[ihdr + i] = 0;
         fixtures::fixChunkCrc(b, static_cast<int>(ihdr));
       }},
      {"zlib header",
       [&](QByteArray& b) {
         b[idat + 8] = 0;
         fixtures::fixChunkCrc(b, static_cast<int>(idat));
       }},
      {"image data length beyond the file",
       [&](QByteArray& b) { b[idat] = 0x7F; }},
  };
  for (const auto& [name, damage] : damages) {
    SCOPED_TRACE(name);
    QByteArray bytes = valid;
    damage(bytes);
    ASSERT_NE(bytes, valid);
    QImage target = sentinelTarget();
    EXPECT_EQ(thrownText([&] { decodePngOnto(bytes, target); }), kReadingError);
    EXPECT_EQ(target, sentinelTarget());
  }
}

// The limits are checked against files that really hold all their pixels, so
// only the size itself can make them fail.
TEST(PngErrors, PicturesBeyondTheSizeLimitsAreRefused) {
  struct Limit {
    int width;
    int height;
    int bitDepth;
    bool accepted;
  };
  for (const Limit& limit : {Limit{32768, 1, 8, true}, Limit{32769, 1, 8, false},
                             Limit{1, 32769, 8, false},
                             // 268,468,224 pixels, just over 256M
                             Limit{32768, 8193, 1, false}}) {
    SCOPED_TRACE(std::to_string(limit.width) + "x" + std::to_string(limit.height));
    PngPicture picture = png(limit.width, limit.height, limit.bitDepth, PNG_COLOR_TYPE_GRAY, {});
    picture.data.assign(picture.rowBytes() * static_cast<std::size_t>(limit.height), 0);
    const QByteArray bytes = fixtures::writePng(picture);
    ASSERT_FALSE(bytes.isEmpty());

    QImage target = sentinelTarget();
    const std::string thrown = thrownText([&] { decodePngOnto(bytes, target); });
    if (limit.accepted) {
      EXPECT_EQ(thrown, "nothing thrown");
      EXPECT_EQ(target.size(), QSize(limit.width, limit.height));
    } else {
      EXPECT_EQ(thrown, kReadingError);
      EXPECT_EQ(target, sentinelTarget());
    }
  }
}

// Every byte flipped in turn: the reader either copes or reports the one
// reading error; nothing else escapes and nothing is read out of bounds.
TEST(PngErrors, FlippedBytesNeverGiveAnythingButAPictureOrTheReadingError) {
  std::vector<std::uint8_t> rgba;
  for (int i = 0; i < 4 * 3; ++i)
    rgba.insert(rgba.end(), {static_cast<std::uint8_t>(i * 20), 7, static_cast<std::uint8_t>(i), 128});
  const QByteArray valid = fixtures::writePng(fixtures::rgbaPng(4, 3, rgba));
  ASSERT_FALSE(valid.isEmpty());
  for (qsizetype i = 0; i < valid.size(); ++i) {
    SCOPED_TRACE("byte " + std::to_string(i));
    QByteArray bytes = valid;
    bytes[i] = static_cast<char>(bytes[i] ^ 0xFF);
    QImage target = sentinelTarget();
    const std::string thrown = thrownText([&] { decodePngOnto(bytes, target); });
    if (thrown == "nothing thrown") {
      EXPECT_TRUE(isSanePictureSize(target.width(), target.height()));
      EXPECT_EQ(target.format(), QImage::Format_RGB32);
    } else {
      EXPECT_EQ(thrown, kReadingError);
      EXPECT_EQ(target, sentinelTarget());
    }
  }
}

}  // namespace
}  // namespace corvant::imaging
