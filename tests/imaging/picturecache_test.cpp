#include "imaging/picturecache.h"

#include <gtest/gtest.h>
#include <png.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "imaging/fixtures.h"
#include "imaging/picture.h"

namespace corvant::imaging {
namespace {

// ---- Pictures --------------------------------------------------------------

// Colours that differ from pixel to pixel, so that a shifted, mirrored or
// channel-swapped picture cannot pass for the right one.
std::uint8_t wave(int x, int y, int salt) {
  return static_cast<std::uint8_t>((x * 37 + y * 91 + salt * 53) % 256);
}

QByteArray opaquePng(int width, int height, int salt = 0) {
  fixtures::PngPicture picture;
  picture.width = width;
  picture.height = height;
  picture.colourType = PNG_COLOR_TYPE_RGB;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      picture.data.insert(picture.data.end(),
                          {wave(x, y, salt), wave(y, x, salt + 1), wave(x + y, x, salt + 2)});
  return fixtures::writePng(picture);
}

// Alpha 0, 255 and values between, spread over the picture.
QByteArray translucentPng(int width, int height, bool interlaced = false) {
  static constexpr std::uint8_t kAlphas[] = {0, 255, 1, 128, 254, 77};
  std::vector<std::uint8_t> rgba;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      rgba.insert(rgba.end(),
                  {wave(x, y, 3), wave(y, x, 4), wave(x, x + y, 5), kAlphas[(x + 2 * y) % 6]});
  fixtures::PngPicture picture = fixtures::rgbaPng(width, height, rgba);
  picture.interlaced = interlaced;
  return fixtures::writePng(picture);
}

// Has an alpha channel but uses none of it.
QByteArray rgbaOpaquePng(int width, int height) {
  std::vector<std::uint8_t> rgba;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) rgba.insert(rgba.end(), {wave(x, y, 6), wave(y, x, 7), 9, 255});
  return fixtures::writePng(fixtures::rgbaPng(width, height, rgba));
}

QByteArray jpeg(int width, int height) {
  fixtures::JpegPicture picture;
  picture.width = width;
  picture.height = height;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      picture.samples.insert(
          picture.samples.end(),
          {wave(x, y, 8), static_cast<std::uint8_t>(x * 12), static_cast<std::uint8_t>(y * 12)});
  return fixtures::writeJpeg(picture);
}

// 24 bits per pixel; rows padded to four bytes, so the file size depends on
// the dimensions alone.
QByteArray bmp(int width, int height, int salt = 0) {
  fixtures::BmpInfo info;
  info.width = width;
  info.height = height;
  QByteArray pixels;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      pixels += static_cast<char>(wave(x, y, salt));
      pixels += static_cast<char>(wave(y, x, salt + 1));
      pixels += static_cast<char>(wave(x, y, salt + 2));
    }
    pixels += QByteArray((4 - width * 3 % 4) % 4, '\0');
  }
  return fixtures::bmpFile(fixtures::bmpInfoHeader(info), {}, pixels);
}

QByteArray gif(int width, int height) {
  fixtures::GifPicture picture;
  picture.screenWidth = width + 2;
  picture.screenHeight = height + 1;
  picture.globalColours = {{0, 0, 0}, {200, 10, 10}, {10, 200, 10}, {10, 10, 200}};
  picture.backgroundIndex = 2;
  fixtures::GifFrame frame;
  frame.left = 1;
  frame.width = width;
  frame.height = height;
  frame.controlIndex = 0;  // index 0 shows as the transparent colour
  for (int y = 0; y < height; ++y) {
    std::vector<std::uint8_t> row;
    for (int x = 0; x < width; ++x) row.push_back(static_cast<std::uint8_t>((x + y) % 4));
    frame.storedRows.push_back(row);
  }
  picture.frames = {frame};
  return fixtures::writeGif(picture);
}

// ---- Files and images ------------------------------------------------------

// Writes the file and, when asked, gives it this modification time. The time
// is set after the data is flushed, so closing the file does not touch it.
::testing::AssertionResult writeFile(const QString& path, const QByteArray& bytes,
                                     std::optional<QDateTime> modified = std::nullopt) {
  if (bytes.isEmpty()) return ::testing::AssertionFailure() << "no data for " << path.toStdString();
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
    return ::testing::AssertionFailure() << "cannot write " << path.toStdString();
  if (file.write(bytes) != bytes.size() || !file.flush())
    return ::testing::AssertionFailure() << "short write to " << path.toStdString();
  if (modified && !file.setFileTime(*modified, QFileDevice::FileModificationTime))
    return ::testing::AssertionFailure() << "cannot set the time of " << path.toStdString();
  return ::testing::AssertionSuccess();
}

const QDateTime kSomeTime = QDateTime::fromSecsSinceEpoch(1'600'000'000, Qt::UTC);

// Same size, format and pixels; the failure names the first difference.
::testing::AssertionResult sameImage(const QImage& actual, const QImage& expected) {
  if (actual.size() != expected.size() || actual.format() != expected.format())
    return ::testing::AssertionFailure()
           << "size " << actual.width() << "x" << actual.height() << " format " << actual.format()
           << ", expected " << expected.width() << "x" << expected.height() << " format "
           << expected.format();
  for (int y = 0; y < actual.height(); ++y)
    for (int x = 0; x < actual.width(); ++x)
      if (actual.pixel(x, y) != expected.pixel(x, y))
        return ::testing::AssertionFailure()
               << "first difference at (" << x << ", " << y << "): " << std::hex
               << actual.pixel(x, y) << " instead of " << expected.pixel(x, y);
  return ::testing::AssertionSuccess();
}

QImage filled(int width, int height, QRgb colour) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(colour);
  return image;
}

// The targets a picture is loaded onto: none yet, smaller than most pictures
// in one direction and larger in the other, and one in another format.
std::vector<QImage> startingTargets() {
  QImage striped(3, 9, QImage::Format_RGB32);
  for (int y = 0; y < striped.height(); ++y)
    for (int x = 0; x < striped.width(); ++x)
      striped.setPixel(x, y, qRgb(20 * x, 25 * y, 200 - 10 * y));
  QImage argb(12, 2, QImage::Format_ARGB32);
  argb.fill(qRgba(90, 180, 30, 255));
  return {QImage(), striped, filled(12, 3, qRgb(1, 2, 3)), argb};
}

// What a load did: the result, the target afterwards, the error text.
struct Outcome {
  bool changed = false;
  QImage target;
  std::string error;
};

Outcome runLoad(const std::function<bool(QImage&)>& load, QImage target) {
  Outcome outcome;
  try {
    outcome.changed = load(target);
  } catch (const PictureError& error) {
    outcome.error = error.what();
  }
  outcome.target = std::move(target);
  return outcome;
}

::testing::AssertionResult sameOutcome(const Outcome& actual, const Outcome& expected) {
  if (actual.changed != expected.changed)
    return ::testing::AssertionFailure()
           << "returned " << actual.changed << ", expected " << expected.changed;
  if (actual.error != expected.error)
    return ::testing::AssertionFailure()
           << "error \"" << actual.error << "\", expected \"" << expected.error << "\"";
  return sameImage(actual.target, expected.target);
}

// ---- A cached load is an uncached load --------------------------------------

struct SameCase {
  std::string name;
  QString fileName;
  std::function<QByteArray()> bytes;
  // Decoder runs answered from the cache in each load after the first.
  int hitsPerRepeat;
};

void PrintTo(const SameCase& c, std::ostream* out) { *out << c.name; }

std::vector<SameCase> sameCases() {
  return {
      {"OpaquePng", "pic.png", [] { return opaquePng(7, 5); }, 1},
      {"TranslucentPng", "pic.png", [] { return translucentPng(7, 5); }, 1},
      {"InterlacedTranslucentPng", "pic.png", [] { return translucentPng(9, 10, true); }, 1},
      {"PngWithUnusedAlpha", "pic.png", [] { return rgbaOpaquePng(7, 5); }, 1},
      {"Jpeg", "pic.jpg", [] { return jpeg(16, 8); }, 1},
      {"Bmp", "pic.bmp", [] { return bmp(5, 4); }, 1},
      {"Gif", "pic.gif", [] { return gif(6, 3); }, 1},
      // Both decoders run every time; only the one that succeeded is kept.
      {"JpgBmpNameHoldingBmp", "pic.jpg.bmp", [] { return bmp(5, 4); }, 1},
      {"JpgBmpNameHoldingJpeg", "pic.jpg.bmp", [] { return jpeg(16, 8); }, 1},
      {"PngGifNameHoldingPng", "pic.png.gif", [] { return translucentPng(4, 4); }, 1},
      {"GifJpgNameHoldingGif", "pic.gif.jpg", [] { return gif(6, 3); }, 1},
      // The JPEG decoder never gets to run after the PNG error.
      {"JpgPngNameHoldingJpeg", "pic.jpg.png", [] { return jpeg(16, 8); }, 0},
      {"NoKnownType", "pic.tga", [] { return bmp(5, 4); }, 0},
  };
}

class PictureCacheSame : public ::testing::TestWithParam<SameCase> {};

// Every load, the first one that decodes and the later ones served from the
// cache, leaves exactly what the uncached loader leaves on the same target.
// Each result is then scribbled over, which must not reach the cached copy.
TEST_P(PictureCacheSame, EveryLoadMatchesTheUncachedLoader) {
  const SameCase& c = GetParam();
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString path = dir.filePath(c.fileName);
  ASSERT_TRUE(writeFile(path, c.bytes()));

  PictureCache cache;
  int load = 0;
  for (const QImage& start : startingTargets()) {
    SCOPED_TRACE("load " + std::to_string(load));
    const Outcome expected =
        runLoad([&](QImage& target) { return loadPictureFile(path, path, target); }, start);
    Outcome actual = runLoad([&](QImage& target) { return cache.load(path, path, target); }, start);
    EXPECT_TRUE(sameOutcome(actual, expected));
    EXPECT_EQ(cache.stats().hits, static_cast<std::uint64_t>(c.hitsPerRepeat * load));
    if (!actual.target.isNull()) actual.target.fill(qRgb(0, 0, 0));
    ++load;
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, PictureCacheSame, ::testing::ValuesIn(sameCases()),
                         [](const auto& info) { return info.param.name; });

// The program's loader goes through one cache shared by every caller.
TEST(PictureCacheShared, SecondLoadOfAFileIsAHit) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString path = dir.filePath("pic.png");
  ASSERT_TRUE(writeFile(path, translucentPng(4, 3)));
  sharedPictureCache().clear();

  QImage first = filled(4, 3, qRgb(10, 20, 30));
  QImage second = filled(4, 3, qRgb(200, 150, 100));
  QImage expected = second;
  ASSERT_TRUE(loadPictureFile(path, expected));
  EXPECT_TRUE(loadPictureFileCached(path, path, first));
  EXPECT_TRUE(loadPictureFileCached(path, path, second));
  EXPECT_TRUE(sameImage(second, expected));
  EXPECT_EQ(sharedPictureCache().stats().misses, 1u);
  EXPECT_EQ(sharedPictureCache().stats().hits, 1u);
  sharedPictureCache().clear();
}

// ---- A file that changes is read again --------------------------------------

struct ChangeCase {
  std::string name;
  QString fileName;
  QByteArray before;
  QByteArray after;
  QDateTime beforeTime;
  QDateTime afterTime;
};

void PrintTo(const ChangeCase& c, std::ostream* out) { *out << c.name; }

std::vector<ChangeCase> changeCases() {
  return {
      // The same size, so only the time tells the versions apart, to the
      // millisecond.
      {"BmpNewTimeSameSize", "pic.bmp", bmp(4, 4, 0), bmp(4, 4, 9), kSomeTime,
       kSomeTime.addSecs(10)},
      {"BmpOneMillisecondLater", "pic.bmp", bmp(4, 4, 0), bmp(4, 4, 9), kSomeTime,
       kSomeTime.addMSecs(1)},
      // The same time, so only the size does.
      {"PngNewSizeSameTime", "pic.png", opaquePng(3, 3), translucentPng(5, 2), kSomeTime,
       kSomeTime},
      {"JpegNewSizeSameTime", "pic.jpg", jpeg(8, 8), jpeg(16, 16), kSomeTime, kSomeTime},
  };
}

class PictureCacheChange : public ::testing::TestWithParam<ChangeCase> {};

TEST_P(PictureCacheChange, NewVersionIsDecodedAgain) {
  const ChangeCase& c = GetParam();
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString path = dir.filePath(c.fileName);
  PictureCache cache;

  ASSERT_TRUE(writeFile(path, c.before, c.beforeTime));
  QImage target;
  ASSERT_TRUE(cache.load(path, path, target));
  ASSERT_TRUE(cache.load(path, path, target));
  ASSERT_EQ(cache.stats().hits, 1u);

  ASSERT_TRUE(writeFile(path, c.after, c.afterTime));
  const QImage start = filled(2, 2, qRgb(40, 50, 60));
  const Outcome expected =
      runLoad([&](QImage& t) { return loadPictureFile(path, path, t); }, start);
  const Outcome actual = runLoad([&](QImage& t) { return cache.load(path, path, t); }, start);
  EXPECT_TRUE(sameOutcome(actual, expected));
  EXPECT_EQ(cache.stats().misses, 2u);
  // The old version is gone, not kept beside the new one.
  EXPECT_EQ(cache.stats().entries, 1u);
}

INSTANTIATE_TEST_SUITE_P(Versions, PictureCacheChange, ::testing::ValuesIn(changeCases()),
                         [](const auto& info) { return info.param.name; });

// ---- Failures are never kept ------------------------------------------------

QByteArray withByte(QByteArray bytes, qsizetype at, char value) {
  bytes[at] = value;
  return bytes;
}

struct FailureCase {
  std::string name;
  QString fileName;
  std::optional<QByteArray> broken;  // none: the file is missing
  QByteArray repaired;
  std::string error;  // empty: the load fails silently
};

void PrintTo(const FailureCase& c, std::ostream* out) { *out << c.name; }

std::vector<FailureCase> failureCases() {
  // A damaged file is as long as its repaired version, and both get the same
  // time, so the file's stamp cannot be what makes the repair show.
  const QByteArray png = opaquePng(4, 4);
  const QByteArray jpg = jpeg(8, 8);
  const QByteArray gifBytes = gif(3, 3);
  return {
      {"PngBadSignature", "pic.png", withByte(png, 1, 'X'), png, "Error Reading File!"},
      {"PngMissing", "pic.png", std::nullopt, png, "Error Opening File <path>!"},
      {"JpegBadStart", "pic.jpg", withByte(jpg, 0, '\0'), jpg, ""},
      {"JpegMissing", "pic.jpg", std::nullopt, jpg, ""},
      {"GifBadSignature", "pic.gif", withByte(gifBytes, 0, 'X'), gifBytes, ""},
      {"BmpBadSignature", "pic.bmp", withByte(bmp(3, 2), 0, 'X'), bmp(3, 2), ""},
      // The PNG decoder fails on a JPEG and the JPEG decoder after it never
      // runs; once the file holds a PNG, the JPEG decoder fails silently.
      {"JpgPngNameHoldingJpeg", "pic.jpg.png", jpg, png, "Error Reading File!"},
  };
}

class PictureCacheFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(PictureCacheFailure, FailsEveryTimeThenShowsTheRepairedFile) {
  const FailureCase& c = GetParam();
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString path = dir.filePath(c.fileName);
  std::string error = c.error;
  if (const auto at = error.find("<path>"); at != std::string::npos)
    error.replace(at, 6, path.toStdString());
  if (c.broken) {
    ASSERT_TRUE(writeFile(path, *c.broken, kSomeTime));
  }

  PictureCache cache;
  const QImage start = filled(2, 2, qRgb(7, 8, 9));
  for (int attempt = 0; attempt < 2; ++attempt) {
    SCOPED_TRACE("attempt " + std::to_string(attempt));
    const Outcome failed = runLoad([&](QImage& t) { return cache.load(path, path, t); }, start);
    EXPECT_EQ(failed.error, error);
    EXPECT_FALSE(failed.changed);
    EXPECT_TRUE(sameImage(failed.target, start));
    EXPECT_EQ(cache.stats().entries, 0u);
  }

  ASSERT_TRUE(writeFile(path, c.repaired, kSomeTime));
  const Outcome expected =
      runLoad([&](QImage& t) { return loadPictureFile(path, path, t); }, start);
  const Outcome loaded = runLoad([&](QImage& t) { return cache.load(path, path, t); }, start);
  EXPECT_TRUE(loaded.changed);
  EXPECT_TRUE(sameOutcome(loaded, expected));
  EXPECT_EQ(cache.stats().entries, 1u);
}

INSTANTIATE_TEST_SUITE_P(Damage, PictureCacheFailure, ::testing::ValuesIn(failureCases()),
                         [](const auto& info) { return info.param.name; });

// A picture whose file has gone is not shown from memory.
TEST(PictureCacheFailure, DeletedFileIsNotServed) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString jpgPath = dir.filePath("pic.jpg");
  const QString pngPath = dir.filePath("pic.png");
  ASSERT_TRUE(writeFile(jpgPath, jpeg(8, 8)));
  ASSERT_TRUE(writeFile(pngPath, opaquePng(3, 3)));
  PictureCache cache;
  QImage target;
  ASSERT_TRUE(cache.load(jpgPath, jpgPath, target));
  ASSERT_TRUE(cache.load(pngPath, pngPath, target));
  ASSERT_TRUE(QFile::remove(jpgPath));
  ASSERT_TRUE(QFile::remove(pngPath));

  const QImage start = filled(2, 2, qRgb(7, 8, 9));
  QImage jpgTarget = start;
  EXPECT_FALSE(cache.load(jpgPath, jpgPath, jpgTarget));
  EXPECT_TRUE(sameImage(jpgTarget, start));
  const Outcome png = runLoad([&](QImage& t) { return cache.load(pngPath, pngPath, t); }, start);
  EXPECT_EQ(png.error, "Error Opening File " + pngPath.toStdString() + "!");
  EXPECT_TRUE(sameImage(png.target, start));
  EXPECT_EQ(cache.stats().entries, 0u);
  EXPECT_EQ(cache.stats().bytes, 0u);
}

// ---- Memory bound -----------------------------------------------------------

class PictureCacheEviction : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    // 8x8 pictures, each taking the same memory whether kept decoded or
    // still to be blended, and one 8x9 picture.
    ASSERT_TRUE(writeFile(dir.filePath("a.bmp"), bmp(8, 8)));
    ASSERT_TRUE(writeFile(dir.filePath("b.png"), translucentPng(8, 8)));
    ASSERT_TRUE(writeFile(dir.filePath("c.gif"), gif(6, 8)));  // on an 8x9 canvas
    ASSERT_TRUE(writeFile(dir.filePath("d.jpg"), jpeg(8, 8)));
  }

  // True when the load was answered from the cache.
  bool hit(const char* name) {
    const QString path = dir.filePath(name);
    const std::uint64_t before = cache.stats().hits;
    QImage target;
    EXPECT_TRUE(cache.load(path, path, target)) << name;
    return cache.stats().hits > before;
  }

  QTemporaryDir dir;
  PictureCache cache;
};

TEST_F(PictureCacheEviction, LeastRecentlyUsedGoesFirst) {
  ASSERT_FALSE(hit("a.bmp"));
  const std::size_t one = cache.stats().bytes;  // 8x8 at four bytes a pixel
  ASSERT_EQ(one, 8u * 8u * 4u);
  cache.setCapacity(2 * one + one / 2);

  EXPECT_FALSE(hit("b.png"));
  EXPECT_TRUE(hit("a.bmp"));   // a is now more recent than b
  EXPECT_FALSE(hit("d.jpg"));  // pushes out b
  EXPECT_EQ(cache.stats().entries, 2u);
  EXPECT_LE(cache.stats().bytes, cache.capacity());
  EXPECT_TRUE(hit("a.bmp"));
  EXPECT_TRUE(hit("d.jpg"));
  EXPECT_FALSE(hit("b.png"));  // decoded again, pushing out a
  EXPECT_TRUE(hit("d.jpg"));
  EXPECT_FALSE(hit("a.bmp"));
}

TEST_F(PictureCacheEviction, LoweringTheCapacityDropsTheOldest) {
  for (const char* name : {"a.bmp", "b.png", "d.jpg"}) ASSERT_FALSE(hit(name));
  const std::size_t one = cache.stats().bytes / 3;
  cache.setCapacity(one);
  EXPECT_EQ(cache.stats().entries, 1u);
  EXPECT_TRUE(hit("d.jpg"));
  EXPECT_FALSE(hit("a.bmp"));
}

TEST_F(PictureCacheEviction, PictureLargerThanTheCapacityShowsButIsNotKept) {
  ASSERT_FALSE(hit("a.bmp"));
  cache.setCapacity(cache.stats().bytes);  // holds an 8x8 picture exactly
  EXPECT_FALSE(hit("c.gif"));              // 8x9: one row too many
  EXPECT_FALSE(hit("c.gif"));
  EXPECT_TRUE(hit("a.bmp"));  // and nothing was pushed out for it
}

TEST_F(PictureCacheEviction, ClearDropsEverythingAndTheCounts) {
  ASSERT_FALSE(hit("a.bmp"));
  ASSERT_TRUE(hit("a.bmp"));
  cache.clear();
  const PictureCacheStats stats = cache.stats();
  EXPECT_EQ(stats.entries, 0u);
  EXPECT_EQ(stats.bytes, 0u);
  EXPECT_EQ(stats.hits, 0u);
  EXPECT_EQ(stats.misses, 0u);
  EXPECT_FALSE(hit("a.bmp"));
}

}  // namespace
}  // namespace corvant::imaging
