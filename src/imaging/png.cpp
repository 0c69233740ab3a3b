#include "imaging/picture.h"

#include <QFile>

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <vector>

namespace corvant::imaging {
namespace {

constexpr const char* kReadError = "Error Reading File!";

struct MemorySource {
  const unsigned char* data = nullptr;
  std::size_t size = 0;
  std::size_t position = 0;
};

// The rows as libpng hands them over after our transformations: 8-bit RGB
// (3 bytes per pixel) or RGBA with the alpha inverted (4 bytes per pixel).
struct DecodedRows {
  png_uint_32 width = 0;
  png_uint_32 height = 0;
  std::size_t bytesPerPixel = 0;
  std::vector<png_byte> bytes;
  std::vector<png_bytep> rows;
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
bool readRows(png_structp png, png_infop info, DecodedRows* out) {
  png_read_info(png, info);

  png_uint_32 width = 0;
  png_uint_32 height = 0;
  int bitDepth = 0;
  int colourType = 0;
  png_get_IHDR(png, info, &width, &height, &bitDepth, &colourType, nullptr, nullptr, nullptr);
  if (!isSanePictureSize(width, height)) return false;

  // Whatever the file holds, the rows must come out as 8-bit RGB or RGBA:
  // the transfer below knows no other layout.
  if (colourType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (colourType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
  if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
  if (bitDepth == 16) png_set_strip_16(png);
  if (bitDepth < 8) png_set_packing(png);
  if ((colourType & PNG_COLOR_MASK_COLOR) == 0) png_set_gray_to_rgb(png);
  png_set_invert_alpha(png);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);

  const std::size_t rowBytes = png_get_rowbytes(png, info);
  const std::size_t bytesPerPixel = rowBytes / width;
  if ((bytesPerPixel != 3 && bytesPerPixel != 4) || rowBytes != bytesPerPixel * width) return false;

  out->width = width;
  out->height = height;
  out->bytesPerPixel = bytesPerPixel;
  out->bytes.resize(rowBytes * height);
  out->rows.resize(height);
  for (png_uint_32 y = 0; y < height; ++y) out->rows[y] = out->bytes.data() + rowBytes * y;
  png_read_image(png, out->rows.data());
  // The chunks after the image data are of no interest, so png_read_end is
  // not called: a file cut after its pixels still shows.
  return true;
}

bool readGuarded(png_structp png, png_infop info, DecodedRows* out) {
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

  bool read(const QByteArray& bytes, DecodedRows& out) {
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

// Inverted alpha h: 0 is opaque, 255 fully transparent.
QRgb blend(const png_byte* source, QRgb under) {
  const int h = source[3];
  if (h == 0) return qRgb(source[0], source[1], source[2]);
  if (h == 255) return under;
  const auto mix = [h](int below, int above) { return (h * below + (255 - h) * above) / 255; };
  return qRgb(mix(qRed(under), source[0]), mix(qGreen(under), source[1]),
              mix(qBlue(under), source[2]));
}

void layOnto(const DecodedRows& decoded, QImage& target) {
  const int width = static_cast<int>(decoded.width);
  const int height = static_cast<int>(decoded.height);
  QImage result(width, height, QImage::Format_RGB32);
  if (result.isNull()) throw PictureError(kReadError);
  result.fill(kTransparentColour);

  if (!target.isNull()) {
    const QImage old = target.format() == QImage::Format_RGB32
                           ? target
                           : target.convertToFormat(QImage::Format_RGB32);
    const int keptWidth = std::min(width, old.width());
    const int keptHeight = std::min(height, old.height());
    for (int y = 0; y < keptHeight; ++y)
      std::memcpy(result.scanLine(y), old.constScanLine(y),
                  static_cast<std::size_t>(keptWidth) * sizeof(QRgb));
  }

  for (int y = 0; y < height; ++y) {
    const png_byte* source = decoded.rows[static_cast<std::size_t>(y)];
    auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
    if (decoded.bytesPerPixel == 3) {
      for (int x = 0; x < width; ++x, source += 3) line[x] = qRgb(source[0], source[1], source[2]);
    } else {
      for (int x = 0; x < width; ++x, source += 4) line[x] = blend(source, line[x]);
    }
  }
  target = std::move(result);
}

}  // namespace

void decodePngOnto(const QByteArray& bytes, QImage& target) {
  DecodedRows decoded;
  {
    PngReader reader;
    if (!reader.read(bytes, decoded)) throw PictureError(kReadError);
  }
  layOnto(decoded, target);
}

void decodePngFileOnto(const QString& path, QImage& target) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    throw PictureError("Error Opening File " + path.toStdString() + "!");
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) throw PictureError(kReadError);
  decodePngOnto(bytes, target);
}

}  // namespace corvant::imaging
