#include "imaging/fixtures.h"
#include "imaging/picture.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <utility>
#include <ostream>
#include <string>

namespace corvant::imaging {
namespace {

using fixtures::JpegKind;
using fixtures::JpegPicture;
using fixtures::Probe;

// JPEG is lossy; flat areas away from edges come back within a few steps.
constexpr int kTolerance = 8;

int samplesPerPixel(JpegKind kind) {
  switch (kind) {
    case JpegKind::Rgb:
      return 3;
    case JpegKind::Grey:
      return 1;
    default:
      return 4;
  }
}

// A 32x32 picture of four flat 16x16 quadrants (top left, top right, bottom
// left, bottom right), each given as the samples the file stores.
JpegPicture quadrants(JpegKind kind, bool progressive,
                      const std::array<std::vector<std::uint8_t>, 4>& samples) {
  JpegPicture picture;
  picture.width = 32;
  picture.height = 32;
  picture.kind = kind;
  picture.progressive = progressive;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const auto& quadrant = samples[static_cast<std::size_t>((x >= 16) + 2 * (y >= 16))];
      picture.samples.insert(picture.samples.end(), quadrant.begin(), quadrant.end());
    }
  return picture;
}

std::vector<Probe> quadrantCentres(const std::array<QRgb, 4>& colours) {
  return {{8, 8, colours[0]}, {24, 8, colours[1]}, {8, 24, colours[2]}, {24, 24, colours[3]}};
}

JpegPicture solid(int width, int height, std::vector<std::uint8_t> rgb) {
  JpegPicture picture;
  picture.width = width;
  picture.height = height;
  for (int i = 0; i < width * height; ++i)
    picture.samples.insert(picture.samples.end(), rgb.begin(), rgb.end());
  return picture;
}

struct DecodeCase {
  std::string name;
  JpegPicture picture;
  std::vector<Probe> probes;
};

void PrintTo(const DecodeCase& c, std::ostream* out) { *out << c.name; }

const std::array<std::vector<std::uint8_t>, 4> kRgbQuadrants = {
    std::vector<std::uint8_t>{220, 30, 30}, {30, 200, 40}, {40, 50, 210}, {240, 240, 240}};
const std::array<QRgb, 4> kRgbColours = {qRgb(220, 30, 30), qRgb(30, 200, 40), qRgb(40, 50, 210),
                                         qRgb(240, 240, 240)};

// CMYK as Adobe stores it, inverted: 255 is no ink. The colour is c * k / 255
// per channel: (200, 100, 50, 128) gives (100.4, 50.2, 25.1).
const std::array<std::vector<std::uint8_t>, 4> kInkQuadrants = {
    std::vector<std::uint8_t>{200, 100, 50, 128}, {255, 255, 255, 255}, {0, 0, 0, 255},
    {255, 0, 128, 200}};
const std::array<QRgb, 4> kInkColours = {qRgb(100, 50, 25), qRgb(255, 255, 255), qRgb(0, 0, 0),
                                         qRgb(200, 0, 100)};

std::vector<DecodeCase> decodeCases() {
  return {
      {"Baseline", quadrants(JpegKind::Rgb, false, kRgbQuadrants), quadrantCentres(kRgbColours)},
      {"Progressive", quadrants(JpegKind::Rgb, true, kRgbQuadrants), quadrantCentres(kRgbColours)},
      {"Grey",
       quadrants(JpegKind::Grey, false, {std::vector<std::uint8_t>{20}, {90}, {160}, {235}}),
       quadrantCentres({qRgb(20, 20, 20), qRgb(90, 90, 90), qRgb(160, 160, 160),
                        qRgb(235, 235, 235)})},
      {"Cmyk", quadrants(JpegKind::CmykStoredAsCmyk, false, kInkQuadrants),
       quadrantCentres(kInkColours)},
      {"Ycck", quadrants(JpegKind::CmykStoredAsYcck, false, kInkQuadrants),
       quadrantCentres(kInkColours)},
      // Sizes that are no multiple of the 8 or 16-pixel blocks.
      {"OddSize", solid(37, 21, {90, 140, 200}),
       {{0, 0, qRgb(90, 140, 200)},
        {36, 0, qRgb(90, 140, 200)},
        {0, 20, qRgb(90, 140, 200)},
        {36, 20, qRgb(90, 140, 200)}}},
  };
}

class JpegDecode : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(JpegDecode, GivesTheExpectedColours) {
  const JpegPicture& picture = GetParam().picture;
  ASSERT_EQ(picture.samples.size(),
            static_cast<std::size_t>(picture.width * picture.height * samplesPerPixel(picture.kind)));
  const QByteArray bytes = fixtures::writeJpeg(picture);
  ASSERT_FALSE(bytes.isEmpty());

  const std::optional<QImage> image = decodeJpeg(bytes);
  ASSERT_TRUE(image.has_value());
  EXPECT_EQ(image->size(), QSize(picture.width, picture.height));
  EXPECT_EQ(image->format(), QImage::Format_RGB32);
  EXPECT_TRUE(fixtures::probesMatch(*image, GetParam().probes, kTolerance));
}

INSTANTIATE_TEST_SUITE_P(JpegKinds, JpegDecode, ::testing::ValuesIn(decodeCases()),
                         [](const auto& info) { return info.param.name; });

// Colour and grey pictures are decoded straight into the picture's rows in
// its own pixel layout; the pixels must be exactly those of libjpeg's plain
// RGB output. Odd sizes leave partial blocks at the right and bottom, and
// noise keeps every block busy.
TEST(JpegPixels, MatchLibjpegsPlainRgbOutputExactly) {
  const auto noisy = [](JpegKind kind, bool progressive) {
    JpegPicture picture;
    picture.width = 37;
    picture.height = 29;
    picture.kind = kind;
    picture.progressive = progressive;
    std::uint32_t noise = 99;
    for (int i = 0; i < picture.width * picture.height * samplesPerPixel(kind); ++i) {
      noise = noise * 1103515245u + 12345u;
      picture.samples.push_back(static_cast<std::uint8_t>((i * 7) % 256 ^ (noise >> 26)));
    }
    return picture;
  };
  const std::vector<std::pair<const char*, JpegPicture>> pictures = {
      {"colour", noisy(JpegKind::Rgb, false)},
      {"colour progressive", noisy(JpegKind::Rgb, true)},
      {"grey", noisy(JpegKind::Grey, false)},
  };
  for (const auto& [name, picture] : pictures) {
    SCOPED_TRACE(name);
    const QByteArray bytes = fixtures::writeJpeg(picture);
    ASSERT_FALSE(bytes.isEmpty());
    const std::optional<QImage> expected = fixtures::plainRgbJpegDecode(bytes);
    ASSERT_TRUE(expected);
    const std::optional<QImage> decoded = decodeJpeg(bytes);
    ASSERT_TRUE(decoded);
    ASSERT_EQ(decoded->size(), expected->size());
    EXPECT_EQ(decoded->format(), QImage::Format_RGB32);
    int differences = 0;
    for (int y = 0; y < expected->height(); ++y)
      for (int x = 0; x < expected->width(); ++x)
        if (decoded->pixel(x, y) != expected->pixel(x, y) && differences++ == 0)
          ADD_FAILURE() << "first difference at (" << x << ", " << y << "): " << std::hex
                        << decoded->pixel(x, y) << " instead of " << expected->pixel(x, y);
    EXPECT_EQ(differences, 0);
  }
}

TEST(JpegFile, ReadsAFileAndFailsQuietlyWithoutOne) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString path = dir.filePath("picture.jpg");
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(fixtures::writeJpeg(solid(8, 8, {30, 160, 90})));
  file.close();

  const std::optional<QImage> image = decodeJpeg(path);
  ASSERT_TRUE(image.has_value());
  EXPECT_TRUE(fixtures::pixelIs(*image, 4, 4, qRgb(30, 160, 90), kTolerance));
  EXPECT_FALSE(decodeJpeg(dir.filePath("absent.jpg")).has_value());
  EXPECT_FALSE(decodeJpeg(dir.path()).has_value());
}

// Any cut, down to the last byte of the end-of-image marker, fails.
TEST(JpegErrors, TruncatedDataFails) {
  for (const DecodeCase& c : decodeCases()) {
    SCOPED_TRACE(c.name);
    const QByteArray bytes = fixtures::writeJpeg(c.picture);
    ASSERT_FALSE(bytes.isEmpty());
    ASSERT_TRUE(decodeJpeg(bytes).has_value());
    for (qsizetype cut = 0; cut < bytes.size(); ++cut)
      EXPECT_FALSE(decodeJpeg(bytes.left(cut)).has_value()) << "cut at " << cut;
  }
}

TEST(JpegErrors, DataThatIsNoJpegFails) {
  const QByteArray valid = fixtures::writeJpeg(solid(8, 8, {1, 2, 3}));
  ASSERT_FALSE(valid.isEmpty());
  QByteArray noStart = valid;
  noStart[1] = 0;
  for (const QByteArray& bytes :
       {QByteArray(), QByteArray("\xFF\xD8", 2), QByteArray("\x89PNG\r\n\x1a\n", 8),
        QByteArray(100, '\xFF'), noStart}) {
    EXPECT_FALSE(decodeJpeg(bytes).has_value()) << bytes.left(8).toHex().toStdString();
  }
}

// Offset of the frame header's height field, right after the marker, its
// length and the sample precision.
qsizetype frameHeightOffset(const QByteArray& jpeg) {
  for (const char* marker : {"\xFF\xC0", "\xFF\xC2"}) {
    const qsizetype at = jpeg.indexOf(QByteArray(marker, 2));
    if (at >= 0) return at + 5;
  }
  return -1;
}

TEST(JpegErrors, ImpossibleFrameSizesFail) {
  const QByteArray valid = fixtures::writeJpeg(solid(8, 8, {1, 2, 3}));
  const qsizetype height = frameHeightOffset(valid);
  ASSERT_GT(height, 0);
  struct Patch {
    const char* name;
    std::uint16_t height;
    std::uint16_t width;
  };
  for (const Patch& patch : {Patch{"width 40000", 8, 40000}, Patch{"height 40000", 40000, 8},
                             Patch{"width 0", 8, 0}, Patch{"height 0", 0, 8}}) {
    SCOPED_TRACE(patch.name);
    QByteArray bytes = valid;
    bytes[height] = static_cast<char>(patch.height >> 8);
    bytes[height + 1] = static_cast<char>(patch.height & 0xFF);
    bytes[height + 2] = static_cast<char>(patch.width >> 8);
    bytes[height + 3] = static_cast<char>(patch.width & 0xFF);
    EXPECT_FALSE(decodeJpeg(bytes).has_value());
  }
}

// Complete files, so only the size itself can make them fail.
TEST(JpegErrors, PicturesBeyondTheSideLimitAreRefused) {
  struct Limit {
    int width;
    int height;
    bool accepted;
  };
  for (const Limit& limit :
       {Limit{32768, 1, true}, Limit{32769, 1, false}, Limit{1, 32769, false}}) {
    SCOPED_TRACE(std::to_string(limit.width) + "x" + std::to_string(limit.height));
    const QByteArray bytes = fixtures::writeJpeg(solid(limit.width, limit.height, {50, 60, 70}));
    ASSERT_FALSE(bytes.isEmpty());
    const std::optional<QImage> image = decodeJpeg(bytes);
    EXPECT_EQ(image.has_value(), limit.accepted);
    if (image) {
      EXPECT_EQ(image->size(), QSize(limit.width, limit.height));
    }
  }
}

TEST(JpegErrors, FlippedBytesGiveAPictureOrNothing) {
  for (const bool progressive : {false, true}) {
    SCOPED_TRACE(progressive ? "progressive" : "baseline");
    const QByteArray valid = fixtures::writeJpeg(quadrants(JpegKind::Rgb, progressive, kRgbQuadrants));
    ASSERT_FALSE(valid.isEmpty());
    for (qsizetype i = 0; i < valid.size(); ++i) {
      QByteArray bytes = valid;
      bytes[i] = static_cast<char>(bytes[i] ^ 0xFF);
      const std::optional<QImage> image = decodeJpeg(bytes);
      if (image) {
        EXPECT_TRUE(isSanePictureSize(image->width(), image->height())) << "byte " << i;
        EXPECT_EQ(image->format(), QImage::Format_RGB32) << "byte " << i;
      }
    }
  }
}

}  // namespace
}  // namespace corvant::imaging
