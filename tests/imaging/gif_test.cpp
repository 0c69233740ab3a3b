#include "imaging/fixtures.h"
#include "imaging/picture.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace corvant::imaging {
namespace {

using fixtures::GifColour;
using fixtures::GifFrame;
using fixtures::GifPicture;
using fixtures::Probe;

constexpr QRgb kMagenta = qRgb(255, 0, 255);
constexpr QRgb kBlack = qRgb(0, 0, 0);

// Global colours: index 1 is the background.
const std::vector<GifColour> kGlobal = {{0, 0, 0}, {10, 20, 30}, {250, 0, 0}, {0, 250, 0}};
constexpr QRgb kBackground = qRgb(10, 20, 30);
constexpr QRgb kGlobalRed = qRgb(250, 0, 0);

// Local colours of the first frame; index 2 is its transparent index.
const std::vector<GifColour> kLocal = {{0, 0, 255}, {255, 255, 0}, {1, 2, 3}, {255, 255, 255}};
constexpr QRgb kBlue = qRgb(0, 0, 255);
constexpr QRgb kYellow = qRgb(255, 255, 0);
constexpr QRgb kWhite = qRgb(255, 255, 255);

// An 8x6 screen; the first frame is 4x3 at (2, 1) with its own colours and a
// transparent index; a second frame would paint the whole screen red.
GifFrame firstFrame() {
  GifFrame frame;
  frame.left = 2;
  frame.top = 1;
  frame.width = 4;
  frame.height = 3;
  frame.localColours = kLocal;
  frame.controlIndex = 2;
  frame.storedRows = {{0, 1, 2, 3}, {3, 2, 1, 0}, {1, 1, 2, 2}};
  return frame;
}

GifFrame redScreenFrame() {
  GifFrame frame;
  frame.width = 8;
  frame.height = 6;
  frame.controlIndex = 3;
  frame.storedRows.assign(6, std::vector<std::uint8_t>(8, 2));
  return frame;
}

GifPicture twoFrames() {
  GifPicture picture;
  picture.screenWidth = 8;
  picture.screenHeight = 6;
  picture.globalColours = kGlobal;
  picture.backgroundIndex = 1;
  picture.frames = {firstFrame(), redScreenFrame()};
  return picture;
}

GifPicture oneFrame() {
  GifPicture picture = twoFrames();
  picture.frames.pop_back();
  return picture;
}

struct DecodeCase {
  std::string name;
  GifPicture picture;
  QSize size;
  std::vector<Probe> probes;
};

void PrintTo(const DecodeCase& c, std::ostream* out) { *out << c.name; }

std::vector<DecodeCase> decodeCases() {
  std::vector<DecodeCase> cases;
  cases.push_back({"FirstFrameOnBackground",
                   twoFrames(),
                   {8, 6},
                   {// outside the frame: background, never the second frame's red
                    {0, 0, kBackground},
                    {7, 5, kBackground},
                    {6, 1, kBackground},
                    {1, 2, kBackground},
                    {2, 4, kBackground},
                    // row 0 of the frame: local 0 is blue (global 0 would be black)
                    {2, 1, kBlue},
                    {3, 1, kYellow},
                    {4, 1, kMagenta},
                    {5, 1, kWhite},
                    {2, 2, kWhite},
                    {3, 2, kMagenta},
                    {4, 2, kYellow},
                    {5, 2, kBlue},
                    {2, 3, kYellow},
                    {4, 3, kMagenta},
                    {5, 3, kMagenta}}});

  // Ten rows of distinct colours, stored in interlaced order: every 8th row
  // from 0, every 8th from 4, every 4th from 2, every 2nd from 1.
  {
    GifPicture picture;
    picture.screenWidth = 3;
    picture.screenHeight = 10;
    for (int i = 0; i < 16; ++i)
      picture.globalColours.push_back({static_cast<std::uint8_t>(i * 16),
                                       static_cast<std::uint8_t>(255 - i * 16),
                                       static_cast<std::uint8_t>(i)});
    GifFrame frame;
    frame.width = 3;
    frame.height = 10;
    frame.interlaced = true;
    for (std::uint8_t row : {0, 8, 4, 2, 6, 1, 3, 5, 7, 9})
      frame.storedRows.push_back(std::vector<std::uint8_t>(3, row));
    picture.frames = {frame};
    DecodeCase c{"Interlaced", picture, {3, 10}, {}};
    for (int y = 0; y < 10; ++y) c.probes.push_back({1, y, qRgb(y * 16, 255 - y * 16, y)});
    cases.push_back(std::move(c));
  }

  {
    GifPicture picture;
    picture.screenWidth = 4;
    picture.screenHeight = 4;
    picture.backgroundIndex = 1;  // no global colours to look it up in
    GifFrame frame;
    frame.left = 1;
    frame.top = 1;
    frame.width = 2;
    frame.height = 2;
    frame.localColours = kLocal;
    frame.storedRows = {{0, 1}, {3, 2}};  // no control extension: 2 is a colour
    picture.frames = {frame};
    cases.push_back({"NoGlobalColoursMeansBlackBackground",
                     picture,
                     {4, 4},
                     {{0, 0, kBlack},
                      {3, 3, kBlack},
                      {1, 1, kBlue},
                      {2, 1, kYellow},
                      {1, 2, kWhite},
                      {2, 2, qRgb(1, 2, 3)}}});
  }

  {
    GifPicture picture = oneFrame();
    picture.frames[0].controlFlag = false;  // an index is given, but not used
    cases.push_back({"ControlExtensionWithoutTransparency",
                     picture,
                     {8, 6},
                     {{4, 1, qRgb(1, 2, 3)}, {3, 2, qRgb(1, 2, 3)}, {2, 1, kBlue}}});
  }

  {
    GifPicture picture = oneFrame();
    picture.frames[0].localColours.clear();  // falls back to the global colours
    cases.push_back({"GlobalColoursForTheFrame",
                     picture,
                     {8, 6},
                     {{2, 1, kBlack}, {3, 1, kBackground}, {4, 1, kMagenta}, {5, 1, qRgb(0, 250, 0)}}});
  }

  {
    GifPicture picture = oneFrame();
    picture.screenWidth = 0;
    picture.screenHeight = 0;
    cases.push_back({"ZeroScreenTakesTheFrameExtent",
                     picture,
                     {6, 4},
                     {{0, 0, kBackground}, {2, 1, kBlue}, {5, 3, kMagenta}, {5, 1, kWhite}}});
  }

  {
    // The frame reaches past the right and bottom edges of the screen.
    GifPicture picture = oneFrame();
    picture.screenWidth = 4;
    picture.screenHeight = 2;
    cases.push_back({"FrameClippedToTheScreen",
                     picture,
                     {4, 2},
                     {{0, 0, kBackground}, {2, 1, kBlue}, {3, 1, kYellow}, {1, 1, kBackground}}});
  }
  return cases;
}

class GifDecode : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(GifDecode, DrawsTheFirstFrameOnTheScreen) {
  const QByteArray bytes = fixtures::writeGif(GetParam().picture);
  ASSERT_FALSE(bytes.isEmpty());

  const std::optional<QImage> image = decodeGif(bytes);
  ASSERT_TRUE(image.has_value());
  EXPECT_EQ(image->size(), GetParam().size);
  EXPECT_EQ(image->format(), QImage::Format_RGB32);
  EXPECT_TRUE(fixtures::probesMatch(*image, GetParam().probes));
}

INSTANTIATE_TEST_SUITE_P(GifKinds, GifDecode, ::testing::ValuesIn(decodeCases()),
                         [](const auto& info) { return info.param.name; });

TEST(GifDecodeWhole, SecondFrameLeavesNoTrace) {
  const std::optional<QImage> image = decodeGif(fixtures::writeGif(twoFrames()));
  ASSERT_TRUE(image.has_value());
  for (int y = 0; y < image->height(); ++y)
    for (int x = 0; x < image->width(); ++x)
      EXPECT_NE(image->pixel(x, y), kGlobalRed) << "at (" << x << ", " << y << ")";
}

TEST(GifFile, ReadsAFileAndFailsQuietlyWithoutOne) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString path = dir.filePath("picture.gif");
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(fixtures::writeGif(oneFrame()));
  file.close();

  const std::optional<QImage> image = decodeGif(path);
  ASSERT_TRUE(image.has_value());
  EXPECT_TRUE(fixtures::pixelIs(*image, 2, 1, kBlue));
  EXPECT_FALSE(decodeGif(dir.filePath("absent.gif")).has_value());
}

// The single-frame file is the two-frame file up to the end of the first
// frame plus the trailer. Cut before the first frame is complete, decoding
// fails; cut anywhere after it (in the second frame, or without the
// trailer) the first frame is still shown whole.
TEST(GifErrors, TruncatedDataFailsUntilTheFirstFrameIsComplete) {
  const QByteArray single = fixtures::writeGif(oneFrame());
  const QByteArray both = fixtures::writeGif(twoFrames());
  ASSERT_FALSE(single.isEmpty());
  ASSERT_EQ(single.back(), ';');
  const qsizetype firstFrameEnd = single.size() - 1;
  ASSERT_EQ(both.left(firstFrameEnd), single.left(firstFrameEnd));
  ASSERT_GT(both.size(), single.size());

  const std::optional<QImage> full = decodeGif(both);
  ASSERT_TRUE(full.has_value());
  for (qsizetype cut = 0; cut < both.size(); ++cut) {
    const std::optional<QImage> image = decodeGif(both.left(cut));
    if (cut < firstFrameEnd) {
      EXPECT_FALSE(image.has_value()) << "cut at " << cut;
    } else {
      ASSERT_TRUE(image.has_value()) << "cut at " << cut;
      EXPECT_EQ(*image, *full) << "cut at " << cut;
    }
  }
}

// A 1x1 GIF written by hand: no colour table anywhere, one pixel of index 0
// (LZW codes clear, 0, end at 3 bits: 0x44 0x01).
const QByteArray kNoColours("GIF89a\x01\x00\x01\x00\x00\x00\x00"
                            ",\x00\x00\x00\x00\x01\x00\x01\x00\x00"
                            "\x02\x02\x44\x01\x00;",
                            29);

TEST(GifErrors, UnusableFilesFail) {
  GifPicture noImage = oneFrame();
  noImage.frames.clear();
  QByteArray badSignature = fixtures::writeGif(oneFrame());
  badSignature[0] = 'J';

  const std::vector<std::pair<const char*, QByteArray>> inputs = {
      {"empty", QByteArray()},
      {"signature only", QByteArray("GIF89a")},
      {"bad signature", badSignature},
      {"no image", fixtures::writeGif(noImage)},
      {"no colours", kNoColours},
  };
  for (const auto& [name, bytes] : inputs) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(decodeGif(bytes).has_value());
  }
}

// The hand-made file above is otherwise sound: given a global colour table
// it decodes, so its failure is down to the missing colours alone.
TEST(GifErrors, HandMadeFileDecodesOnceItHasColours) {
  QByteArray withColours = kNoColours;
  withColours[10] = static_cast<char>(0x80);  // global table of 2 entries follows
  withColours.insert(13, QByteArray("\x0A\x0B\x0C\xFF\xFF\xFF", 6));
  const std::optional<QImage> image = decodeGif(withColours);
  ASSERT_TRUE(image.has_value());
  EXPECT_TRUE(fixtures::pixelIs(*image, 0, 0, qRgb(10, 11, 12)));
}

TEST(GifErrors, PicturesBeyondTheSideLimitAreRefused) {
  struct Limit {
    const char* name;
    int screenWidth;
    int screenHeight;
    int frameWidth;
    int frameHeight;
    bool accepted;
  };
  for (const Limit& limit : {Limit{"screen 32768 wide", 32768, 1, 1, 1, true},
                             Limit{"screen 32769 wide", 32769, 1, 1, 1, false},
                             Limit{"screen 32769 high", 1, 32769, 1, 1, false},
                             Limit{"frame 32769 wide", 4, 4, 32769, 1, false},
                             Limit{"frame of a zero screen, 32769 wide", 0, 0, 32769, 1, false}}) {
    SCOPED_TRACE(limit.name);
    GifPicture picture;
    picture.screenWidth = limit.screenWidth;
    picture.screenHeight = limit.screenHeight;
    picture.globalColours = kGlobal;
    GifFrame frame;
    frame.width = limit.frameWidth;
    frame.height = limit.frameHeight;
    frame.storedRows.assign(static_cast<std::size_t>(limit.frameHeight),
                            std::vector<std::uint8_t>(static_cast<std::size_t>(limit.frameWidth), 3));
    picture.frames = {frame};
    const QByteArray bytes = fixtures::writeGif(picture);
    ASSERT_FALSE(bytes.isEmpty());

    const std::optional<QImage> image = decodeGif(bytes);
    EXPECT_EQ(image.has_value(), limit.accepted);
    if (image) {
      EXPECT_TRUE(fixtures::pixelIs(*image, 0, 0, qRgb(0, 250, 0)));
    }
  }
}

TEST(GifErrors, FlippedBytesGiveAPictureOrNothing) {
  const QByteArray valid = fixtures::writeGif(twoFrames());
  ASSERT_FALSE(valid.isEmpty());
  for (qsizetype i = 0; i < valid.size(); ++i) {
    for (const char mask : {'\xFF', '\x01'}) {
      QByteArray bytes = valid;
      bytes[i] = static_cast<char>(bytes[i] ^ mask);
      const std::optional<QImage> image = decodeGif(bytes);
      if (image) {
        EXPECT_TRUE(isSanePictureSize(image->width(), image->height())) << "byte " << i;
        EXPECT_EQ(image->format(), QImage::Format_RGB32) << "byte " << i;
      }
    }
  }
}

}  // namespace
}  // namespace corvant::imaging
