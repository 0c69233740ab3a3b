#include "imaging/picture.h"

#include "imaging/picture_io.h"

#include <QFile>

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <memory>
#include <vector>

namespace corvant::imaging {
namespace detail {
namespace {

constexpr const char* kReadError = "Error Reading File!";

struct MemorySource {
  const unsigned char* data = nullptr;
  std::size_t size = 0;
  std::size_t position = 0;
};

// Inverted alpha h: 0 is opaque, 255 fully transparent.
QRgb blend(const std::uint8_t* source, QRgb under) {
  const int h = source[3];
  if (h == 0) return qRgb(source[0], source[1], source[2]);
  if (h == 255) return under;
  const auto mix = [h](int below, int above) { return (h * below + (255 - h) * above) / 255; };
  return qRgb(mix(qRed(under), source[0]), mix(qGreen(under), source[1]),
              mix(qBlue(under), source[2]));
}

// A translucent picture being laid onto a target, one row at a time. The
// result takes the picture's size; under it lies the old target where that
// covered the area (top-left aligned) and kTransparentColour elsewhere.
class Composite {
 public:
  // False when the result cannot be allocated.
  bool start(const QImage& target, int width, int height) {
    result_ = QImage(width, height, QImage::Format_RGB32);
    if (result_.isNull()) return false;
    if (target.format() == QImage::Format_RGB32)
      under_ = target;
    else if (!target.isNull())
      under_ = target.convertToFormat(QImage::Format_RGB32);
    keptWidth_ = std::min(width, under_.width());
    keptHeight_ = std::min(height, under_.height());
    return true;
  }

  // `source` holds the row's (red, green, blue, h) quadruples. Reading what
  // lies under each pixel from the old target directly, rather than first
  // copying it into the result, makes this the only pass over the result.
  void blendRow(int y, const std::uint8_t* source) {
    auto* line = reinterpret_cast<QRgb*>(result_.scanLine(y));
    const int width = result_.width();
    int seen = 0;
    int x = 0;
    if (y < keptHeight_) {
      const auto* below = reinterpret_cast<const QRgb*>(under_.constScanLine(y));
      for (; x < keptWidth_; ++x, source += 4) {
        seen |= source[3];
        line[x] = blend(source, below[x]);
      }
    }
    for (; x < width; ++x, source += 4) {
      seen |= source[3];
      line[x] = blend(source, kTransparentColour);
    }
    seenThrough_ |= seen != 0;
  }

  // Whether any pixel blended so far let the target show through.
  bool seenThrough() const { return seenThrough_; }

  QImage take() { return std::move(result_); }

 private:
  QImage result_;
  QImage under_;
  int keptWidth_ = 0;
  int keptHeight_ = 0;
  bool seenThrough_ = false;
};

// Blends every row of a translucent picture held whole.
void blendAll(const PngPixels& pixels, Composite& composite) {
  const std::size_t rowBytes = std::size_t{4} * static_cast<std::size_t>(pixels.width);
  for (int y = 0; y < pixels.height; ++y)
    composite.blendRow(y, pixels.rgbh.get() + rowBytes * static_cast<std::size_t>(y));
}

// What readRows fills.
struct Decoding {
  // A translucent picture is laid onto this target as its rows arrive, into
  // `composite`, when it is not interlaced.
  const QImage* target = nullptr;
  // Whether the pixels are wanted afterwards, in `pixels`; when not, a
  // translucent picture is never held whole.
  bool keep = false;
  PngPixels pixels;
  Composite composite;
  bool composited = false;
  // Where libpng writes.
  std::vector<png_bytep> rows;
  std::unique_ptr<png_byte[]> row;
};

void readFromMemory(png_structp png, png_bytep out, std::size_t length) {
  auto* source = static_cast<MemorySource*>(png_get_io_ptr(png));
  if (length > source->size - source->position) png_error(png, "unexpected end of data");
  std::memcpy(out, source->data + source->position, length);
  source->position += length;
}

// libpng's default handlers print to stderr; the caller only needs to know
// that reading failed.
[[noreturn]] void onPngError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void onPngWarning(png_structp, png_const_charp) {}

// Sets up the transformations and reads every row. Runs below the setjmp in
// readGuarded, so libpng may longjmp out of it at any call: it must keep no
// local with a destructor; everything it allocates belongs to `out`.
bool readRows(png_structp png, png_infop info, Decoding* out) {
  png_read_info(png, info);

  png_uint_32 width = 0;
  png_uint_32 height = 0;
  int bitDepth = 0;
  int colourType = 0;
  png_get_IHDR(png, info, &width, &height, &bitDepth, &colourType, nullptr, nullptr, nullptr);
  if (!isSanePictureSize(width, height)) return false;

  // Whatever the file holds, the rows must come out as four 8-bit samples
  // per pixel: RGBA, or RGB and a filler for a picture without alpha. The
  // code after decoding knows no other layout.
  const bool hasTrns = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
  const bool hasAlpha = (colourType & PNG_COLOR_MASK_ALPHA) != 0 || hasTrns;
  if (colourType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (colourType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
  if (hasTrns) png_set_tRNS_to_alpha(png);
  if (bitDepth == 16) png_set_strip_16(png);
  if (bitDepth < 8) png_set_packing(png);
  if ((colourType & PNG_COLOR_MASK_COLOR) == 0) png_set_gray_to_rgb(png);
  if (hasAlpha) {
    png_set_invert_alpha(png);
  } else {
    // An opaque picture covers the whole target, so its rows go straight
    // into the finished RGB32 image: libpng adds the opaque alpha byte and
    // orders the channels the way QRgb lies in memory.
    if constexpr (Q_BYTE_ORDER == Q_LITTLE_ENDIAN) {
      png_set_bgr(png);
      png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    } else {
      png_set_filler(png, 0xFF, PNG_FILLER_BEFORE);
    }
  }
  png_set_interlace_handling(png);
  png_read_update_info(png, info);

  const std::size_t rowBytes = png_get_rowbytes(png, info);
  if (rowBytes != std::size_t{4} * width) return false;

  PngPixels& pixels = out->pixels;
  pixels.width = static_cast<int>(width);
  pixels.height = static_cast<int>(height);
  png_bytep base = nullptr;
  std::size_t stride = rowBytes;
  if (!hasAlpha) {
    pixels.opaque = QImage(pixels.width, pixels.height, QImage::Format_RGB32);
    if (pixels.opaque.isNull()) return false;
    base = pixels.opaque.bits();
    stride = static_cast<std::size_t>(pixels.opaque.bytesPerLine());
  } else if (png_get_interlace_type(png, info) == PNG_INTERLACE_NONE) {
    // Each row is blended while it is fresh in the cache. (An interlaced
    // picture's rows arrive in several passes and are only complete at the
    // end.)
    if (!out->composite.start(*out->target, pixels.width, pixels.height)) return false;
    if (out->keep)
      pixels.rgbh = std::make_unique_for_overwrite<std::uint8_t[]>(rowBytes * height);
    else
      out->row = std::make_unique_for_overwrite<png_byte[]>(rowBytes);
    for (int y = 0; y < pixels.height; ++y) {
      png_bytep row = out->keep ? pixels.rgbh.get() + rowBytes * static_cast<std::size_t>(y)
                                : out->row.get();
      png_read_row(png, row, nullptr);
      out->composite.blendRow(y, row);
    }
    out->composited = true;
    return true;
  } else {
    pixels.rgbh = std::make_unique_for_overwrite<std::uint8_t[]>(rowBytes * height);
    base = pixels.rgbh.get();
  }
  out->rows.resize(height);
  for (png_uint_32 y = 0; y < height; ++y) out->rows[y] = base + stride * y;
  png_read_image(png, out->rows.data());
  // The chunks after the image data are of no interest, so png_read_end is
  // not called: a file cut after its pixels still shows.
  return true;
}

bool readGuarded(png_structp png, png_infop info, Decoding* out) {
  if (setjmp(png_jmpbuf(png))) return false;
  return readRows(png, info, out);
}

// Owns the libpng structures so that they are freed on every path, including
// an allocation failure thrown from readRows.
class PngReader {
 public:
  PngReader() {
    png_ = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, onPngError, onPngWarning);
    if (png_) info_ = png_create_info_struct(png_);
  }
  ~PngReader() { png_destroy_read_struct(&png_, info_ ? &info_ : nullptr, nullptr); }
  PngReader(const PngReader&) = delete;
  PngReader& operator=(const PngReader&) = delete;

  bool read(const QByteArray& bytes, Decoding& out) {
    if (!png_ || !info_) return false;
    source_.data = reinterpret_cast<const unsigned char*>(bytes.constData());
    source_.size = static_cast<std::size_t>(bytes.size());
    png_set_read_fn(png_, &source_, readFromMemory);
    png_set_user_limits(png_, kMaxPictureSide, kMaxPictureSide);
    return readGuarded(png_, info_, &out);
  }

 private:
  png_structp png_ = nullptr;
  png_infop info_ = nullptr;
  MemorySource source_;
};

// Reads the PNG and lays it onto `target`; throws PictureError, leaving the
// target untouched, when it cannot.
PngPixels decodeOnto(const QByteArray& bytes, QImage& target, bool keep) {
  Decoding decoding;
  decoding.target = &target;
  decoding.keep = keep;
  {
    PngReader reader;
    if (!reader.read(bytes, decoding)) throw PictureError(kReadError);
  }
  PngPixels& pixels = decoding.pixels;
  if (!pixels.opaque.isNull()) {
    target = pixels.opaque;
    return std::move(pixels);
  }
  Composite& composite = decoding.composite;
  if (!decoding.composited) {
    if (!composite.start(target, pixels.width, pixels.height)) throw PictureError(kReadError);
    blendAll(pixels, composite);
  }
  target = composite.take();
  // Many pictures carry an alpha channel without using it. Such a picture
  // covers any target as fully as one without alpha, and the result just
  // made is that picture: kept as it is, laying it again costs no more than
  // an assignment.
  if (keep && !composite.seenThrough()) {
    pixels.opaque = target;
    pixels.rgbh.reset();
  }
  return std::move(pixels);
}

}  // namespace

std::size_t PngPixels::sizeInBytes() const {
  if (!opaque.isNull()) return static_cast<std::size_t>(opaque.sizeInBytes());
  if (!rgbh) return 0;
  return std::size_t{4} * static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
}

PngPixels decodePngOntoKeeping(const QByteArray& bytes, QImage& target) {
  return decodeOnto(bytes, target, true);
}

void layPngOnto(const PngPixels& pixels, QImage& target) {
  if (!pixels.opaque.isNull()) {
    // Every pixel of the result comes from the picture: what the target held
    // cannot show through.
    target = pixels.opaque;
    return;
  }
  Composite composite;
  if (!composite.start(target, pixels.width, pixels.height)) throw PictureError(kReadError);
  blendAll(pixels, composite);
  target = composite.take();
}

QByteArray readPngFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    throw PictureError("Error Opening File " + path.toStdString() + "!");
  QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) throw PictureError(kReadError);
  return bytes;
}

}  // namespace detail

void decodePngOnto(const QByteArray& bytes, QImage& target) {
  detail::decodeOnto(bytes, target, false);
}

void decodePngFileOnto(const QString& path, QImage& target) {
  decodePngOnto(detail::readPngFile(path), target);
}

}  // namespace corvant::imaging
