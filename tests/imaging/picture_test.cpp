#include "imaging/fixtures.h"
#include "imaging/picture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <png.h>

#include <ostream>
#include <string>

namespace corvant::imaging {
namespace {

// Each kind of file holds a picture of its own size and colour, so the
// target tells which decoder wrote it.
enum class Content { Png, Jpeg, Bmp, Gif, Garbage, Absent };

struct Look {
  QSize size;
  QRgb colour;
  int tolerance;
};

const Look kPngLook{{2, 2}, qRgb(200, 10, 20), 0};
const Look kJpegLook{{8, 8}, qRgb(30, 160, 90), 8};
const Look kBmpLook{{3, 1}, qRgb(5, 100, 200), 0};
const Look kGifLook{{4, 2}, qRgb(77, 88, 99), 0};
const Look kUntouched{{1, 1}, qRgb(1, 2, 3), 0};

QByteArray contentBytes(Content content) {
  switch (content) {
    case Content::Png: {
      fixtures::PngPicture picture;
      picture.width = 2;
      picture.height = 2;
      picture.colourType = PNG_COLOR_TYPE_RGB;
      for (int i = 0; i < 4; ++i) picture.data.insert(picture.data.end(), {200, 10, 20});
      return fixtures::writePng(picture);
    }
    case Content::Jpeg: {
      fixtures::JpegPicture picture;
      picture.width = 8;
      picture.height = 8;
      for (int i = 0; i < 64; ++i) picture.samples.insert(picture.samples.end(), {30, 160, 90});
      return fixtures::writeJpeg(picture);
    }
    case Content::Bmp: {
      fixtures::BmpInfo info;
      info.width = 3;
      info.height = 1;
      QByteArray pixels;
      for (int i = 0; i < 3; ++i) pixels += QByteArray("\xC8\x64\x05", 3);
      pixels += QByteArray(3, '\0');
      return fixtures::bmpFile(fixtures::bmpInfoHeader(info), {}, pixels);
    }
    case Content::Gif: {
      fixtures::GifPicture picture;
      picture.screenWidth = 4;
      picture.screenHeight = 2;
      picture.globalColours = {{0, 0, 0}, {77, 88, 99}};
      fixtures::GifFrame frame;
      frame.width = 4;
      frame.height = 2;
      frame.storedRows.assign(2, std::vector<std::uint8_t>(4, 1));
      picture.frames = {frame};
      return fixtures::writeGif(picture);
    }
    case Content::Garbage: {
      // Starts like a BMP and carries GIF and JPEG signatures, yet is none.
      static const char garbage[] = "BM\x10\x00 GIF89a \xFF\xD8\xFF not a picture of any kind";
      return QByteArray(garbage, sizeof garbage - 1);
    }
    case Content::Absent:
      break;
  }
  return {};
}

QImage untouchedTarget() {
  QImage target(1, 1, QImage::Format_RGB32);
  target.fill(kUntouched.colour);
  return target;
}

enum class Outcome { Decoded, Unchanged, OpeningError, ReadingError };

struct LoadCase {
  std::string name;
  QString fileName;  // relative to a fresh folder; may contain a subfolder
  Content content;
  Outcome outcome;
  Look look;  // what the target shows afterwards
};

void PrintTo(const LoadCase& c, std::ostream* out) { *out << c.name; }

std::vector<LoadCase> loadCases() {
  return {
      {"Png", "pic.png", Content::Png, Outcome::Decoded, kPngLook},
      {"Jpeg", "pic.jpg", Content::Jpeg, Outcome::Decoded, kJpegLook},
      {"Bmp", "pic.bmp", Content::Bmp, Outcome::Decoded, kBmpLook},
      {"Gif", "pic.gif", Content::Gif, Outcome::Decoded, kGifLook},
      // Both decoders run: the JPEG one fails quietly, the BMP one wins.
      {"JpgBmpNameHoldingBmp", "pic.jpg.bmp", Content::Bmp, Outcome::Decoded, kBmpLook},
      // Both run: the JPEG picture stays when the BMP decoder fails after it.
      {"JpgBmpNameHoldingJpeg", "pic.jpg.bmp", Content::Jpeg, Outcome::Decoded, kJpegLook},
      {"GifJpgNameHoldingGif", "pic.gif.jpg", Content::Gif, Outcome::Decoded, kGifLook},
      {"GifJpgNameHoldingJpeg", "pic.gif.jpg", Content::Jpeg, Outcome::Decoded, kJpegLook},
      {"BmpGifNameHoldingGif", "pic.bmp.gif", Content::Gif, Outcome::Decoded, kGifLook},
      {"PngJpgNameHoldingPng", "pic.png.jpg", Content::Png, Outcome::Decoded, kPngLook},
      // PNG comes first whatever the name's order, and its error stops the
      // rest: the JPEG decoder that would have succeeded never runs.
      {"JpgPngNameHoldingJpeg", "pic.jpg.png", Content::Jpeg, Outcome::ReadingError, kUntouched},
      {"BmpPngNameHoldingBmp", "pic.bmp.png", Content::Bmp, Outcome::ReadingError, kUntouched},
      // The substrings are looked for anywhere, with case.
      {"SubstringInsideTheName", "pic.pngx", Content::Png, Outcome::Decoded, kPngLook},
      {"SubstringInAFolderName", "set.gif/picture", Content::Gif, Outcome::Decoded, kGifLook},
      {"UpperCasePng", "PIC.PNG", Content::Png, Outcome::Unchanged, kUntouched},
      {"MixedCaseJpg", "pic.Jpg", Content::Jpeg, Outcome::Unchanged, kUntouched},
      {"MixedCaseBmp", "pic.Bmp", Content::Bmp, Outcome::Unchanged, kUntouched},
      {"UpperCaseGif", "PIC.GIF", Content::Gif, Outcome::Unchanged, kUntouched},
      {"NoKnownSubstring", "picture", Content::Bmp, Outcome::Unchanged, kUntouched},
      {"DotlessSubstring", "picturepng", Content::Png, Outcome::Unchanged, kUntouched},
      // JPEG, BMP and GIF failures are silent.
      {"AbsentJpg", "absent.jpg", Content::Absent, Outcome::Unchanged, kUntouched},
      {"AbsentBmp", "absent.bmp", Content::Absent, Outcome::Unchanged, kUntouched},
      {"AbsentGif", "absent.gif", Content::Absent, Outcome::Unchanged, kUntouched},
      {"GarbageJpgBmpGif", "bad.jpg.bmp.gif", Content::Garbage, Outcome::Unchanged, kUntouched},
      // PNG failures are not.
      {"AbsentPng", "absent.png", Content::Absent, Outcome::OpeningError, kUntouched},
      {"GarbagePng", "bad.png", Content::Garbage, Outcome::ReadingError, kUntouched},
  };
}

class ImagingLoad : public ::testing::TestWithParam<LoadCase> {};

TEST_P(ImagingLoad, RunsTheDecodersTheNameCallsFor) {
  const LoadCase& c = GetParam();
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString path = dir.filePath(c.fileName);
  if (c.content != Content::Absent) {
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    const QByteArray bytes = contentBytes(c.content);
    ASSERT_FALSE(bytes.isEmpty());
    file.write(bytes);
  }

  QImage target = untouchedTarget();
  std::string thrown = "nothing thrown";
  bool changed = false;
  try {
    changed = loadPictureFile(path, target);
  } catch (const PictureError& error) {
    thrown = error.what();
  }

  switch (c.outcome) {
    case Outcome::Decoded:
      EXPECT_EQ(thrown, "nothing thrown");
      EXPECT_TRUE(changed);
      break;
    case Outcome::Unchanged:
      EXPECT_EQ(thrown, "nothing thrown");
      EXPECT_FALSE(changed);
      break;
    case Outcome::OpeningError:
      EXPECT_EQ(thrown, "Error Opening File " + path.toStdString() + "!");
      break;
    case Outcome::ReadingError:
      EXPECT_EQ(thrown, "Error Reading File!");
      break;
  }
  if (c.look.size == kUntouched.size && c.look.colour == kUntouched.colour) {
    EXPECT_EQ(target, untouchedTarget());
  } else {
    EXPECT_EQ(target.size(), c.look.size);
    EXPECT_EQ(target.format(), QImage::Format_RGB32);
    EXPECT_TRUE(fixtures::pixelIs(target, c.look.size.width() - 1, c.look.size.height() - 1,
                                  c.look.colour, c.look.tolerance));
  }
}

INSTANTIATE_TEST_SUITE_P(ImagingNames, ImagingLoad, ::testing::ValuesIn(loadCases()),
                         [](const auto& info) { return info.param.name; });

// The PNG decoder draws onto what the target already holds, also when the
// loader runs it.
TEST(ImagingLoadPng, TransparentPngKeepsThePreviousPicture) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString path = dir.filePath("overlay.png");
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(fixtures::writePng(fixtures::rgbaPng(2, 1, {9, 9, 9, 0, 40, 50, 60, 255})));
  file.close();

  QImage target(2, 1, QImage::Format_RGB32);
  target.fill(qRgb(120, 121, 122));
  EXPECT_TRUE(loadPictureFile(path, target));
  EXPECT_TRUE(fixtures::probesMatch(target, {{0, 0, qRgb(120, 121, 122)}, {1, 0, qRgb(40, 50, 60)}}));
}

TEST(ImagingSize, LimitsAreInclusive) {
  EXPECT_TRUE(isSanePictureSize(1, 1));
  EXPECT_TRUE(isSanePictureSize(kMaxPictureSide, kMaxPicturePixels / kMaxPictureSide));
  EXPECT_FALSE(isSanePictureSize(kMaxPictureSide, kMaxPicturePixels / kMaxPictureSide + 1));
  EXPECT_FALSE(isSanePictureSize(kMaxPictureSide + 1, 1));
  EXPECT_FALSE(isSanePictureSize(1, kMaxPictureSide + 1));
  EXPECT_FALSE(isSanePictureSize(0, 1));
  EXPECT_FALSE(isSanePictureSize(1, -1));
}

}  // namespace
}  // namespace corvant::imaging
