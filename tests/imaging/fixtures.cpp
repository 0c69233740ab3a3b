#include "imaging/fixtures.h"

#include <csetjmp>
#include <cstdio>  // before jpeglib.h
#include <cstdlib>
#include <cstring>

#include <gif_lib.h>
#include <jpeglib.h>
#include <png.h>
#include <zlib.h>

namespace corvant::imaging::fixtures {

// ---- Checking pixels -------------------------------------------------------

namespace {

std::string rgbText(QRgb colour) {
  return "(" + std::to_string(qRed(colour)) + ", " + std::to_string(qGreen(colour)) + ", " +
         std::to_string(qBlue(colour)) + ")";
}

}  // namespace

::testing::AssertionResult pixelIs(const QImage& image, int x, int y, QRgb expected,
                                   int tolerance) {
  if (!image.valid(x, y))
    return ::testing::AssertionFailure() << "(" << x << ", " << y << ") lies outside the "
                                         << image.width() << "x" << image.height() << " picture";
  const QRgb actual = image.pixel(x, y);
  const bool close = std::abs(qRed(actual) - qRed(expected)) <= tolerance &&
                     std::abs(qGreen(actual) - qGreen(expected)) <= tolerance &&
                     std::abs(qBlue(actual) - qBlue(expected)) <= tolerance;
  if (close) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is " << rgbText(actual)
                                       << ", expected " << rgbText(expected);
}

::testing::AssertionResult probesMatch(const QImage& image, const std::vector<Probe>& probes,
                                       int tolerance) {
  std::string failures;
  for (const Probe& probe : probes) {
    const ::testing::AssertionResult one = pixelIs(image, probe.x, probe.y, probe.colour, tolerance);
    if (!one) failures += std::string("\n  ") + one.message();
  }
  if (failures.empty()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << failures;
}

// ---- PNG -------------------------------------------------------------------

namespace {

int channelCount(int colourType) {
  switch (colourType) {
    case PNG_COLOR_TYPE_GRAY:
    case PNG_COLOR_TYPE_PALETTE:
      return 1;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
      return 2;
    case PNG_COLOR_TYPE_RGB:
      return 3;
    default:
      return 4;
  }
}

void appendToVector(png_structp png, png_bytep data, std::size_t length) {
  auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

void flushNothing(png_structp) {}

// libpng may longjmp back here; only plain data lives in this frame.
bool writePngGuarded(png_structp png, png_infop info, const PngPicture* picture,
                     const std::vector<png_color>* palette, std::vector<std::uint8_t>* out,
                     png_bytep* rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_write_fn(png, out, appendToVector, flushNothing);
  png_set_IHDR(png, info, static_cast<png_uint_32>(picture->width),
               static_cast<png_uint_32>(picture->height), picture->bitDepth,
               picture->colourType,
               picture->interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (!palette->empty())
    png_set_PLTE(png, info, palette->data(), static_cast<int>(palette->size()));
  if (!picture->paletteAlpha.empty())
    png_set_tRNS(png, info, picture->paletteAlpha.data(),
                 static_cast<int>(picture->paletteAlpha.size()), nullptr);
  if (picture->transparentGrey) {
    png_color_16 grey{};
    grey.gray = *picture->transparentGrey;
    png_set_tRNS(png, info, nullptr, 0, &grey);
  }
  png_write_info(png, info);
  png_write_image(png, rows);
  png_write_end(png, info);
  return true;
}

}  // namespace

std::size_t PngPicture::rowBytes() const {
  return (static_cast<std::size_t>(width) * channelCount(colourType) * bitDepth + 7) / 8;
}

QByteArray writePng(const PngPicture& picture) {
  if (picture.data.size() != picture.rowBytes() * static_cast<std::size_t>(picture.height))
    return {};
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  std::vector<png_bytep> rows;
  for (int y = 0; y < picture.height; ++y)
    rows.push_back(const_cast<png_bytep>(picture.data.data()) + picture.rowBytes() * y);
  std::vector<png_color> palette;
  for (const PngRgb& c : picture.palette) palette.push_back({c.red, c.green, c.blue});
  std::vector<std::uint8_t> out;
  const bool ok = info && writePngGuarded(png, info, &picture, &palette, &out, rows.data());
  png_destroy_write_struct(&png, &info);
  if (!ok) return {};
  return QByteArray(reinterpret_cast<const char*>(out.data()), static_cast<qsizetype>(out.size()));
}

PngPicture rgbaPng(int width, int height, const std::vector<std::uint8_t>& rgba) {
  PngPicture picture;
  picture.width = width;
  picture.height = height;
  picture.colourType = PNG_COLOR_TYPE_RGB_ALPHA;
  picture.data = rgba;
  return picture;
}

void fixChunkCrc(QByteArray& png, int offset) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(png.constData());
  const std::uint32_t length = static_cast<std::uint32_t>(bytes[offset]) << 24 |
                               static_cast<std::uint32_t>(bytes[offset + 1]) << 16 |
                               static_cast<std::uint32_t>(bytes[offset + 2]) << 8 |
                               bytes[offset + 3];
  // The CRC covers the chunk type and data.
  const uLong crc = crc32(0L, bytes + offset + 4, length + 4);
  const int at = offset + 8 + static_cast<int>(length);
  png[at] = static_cast<char>(crc >> 24);
  png[at + 1] = static_cast<char>(crc >> 16);
  png[at + 2] = static_cast<char>(crc >> 8);
  png[at + 3] = static_cast<char>(crc);
}

// ---- JPEG ------------------------------------------------------------------

namespace {

struct JpegErrors {
  jpeg_error_mgr base;
  std::jmp_buf jump;
};

[[noreturn]] void onJpegError(j_common_ptr cinfo) {
  std::longjmp(reinterpret_cast<JpegErrors*>(cinfo->err)->jump, 1);
}

bool writeJpegGuarded(jpeg_compress_struct* cinfo, JpegErrors* errors, const JpegPicture* picture,
                      unsigned char** buffer, unsigned long* size) {
  if (setjmp(errors->jump)) return false;
  jpeg_create_compress(cinfo);
  jpeg_mem_dest(cinfo, buffer, size);
  cinfo->image_width = static_cast<JDIMENSION>(picture->width);
  cinfo->image_height = static_cast<JDIMENSION>(picture->height);
  switch (picture->kind) {
    case JpegKind::Rgb:
      cinfo->input_components = 3;
      cinfo->in_color_space = JCS_RGB;
      break;
    case JpegKind::Grey:
      cinfo->input_components = 1;
      cinfo->in_color_space = JCS_GRAYSCALE;
      break;
    case JpegKind::CmykStoredAsCmyk:
    case JpegKind::CmykStoredAsYcck:
      cinfo->input_components = 4;
      cinfo->in_color_space = JCS_CMYK;
      break;
  }
  jpeg_set_defaults(cinfo);
  if (picture->kind == JpegKind::CmykStoredAsCmyk) jpeg_set_colorspace(cinfo, JCS_CMYK);
  if (picture->kind == JpegKind::CmykStoredAsYcck) jpeg_set_colorspace(cinfo, JCS_YCCK);
  jpeg_set_quality(cinfo, 95, TRUE);
  if (picture->progressive) jpeg_simple_progression(cinfo);
  jpeg_start_compress(cinfo, TRUE);
  const std::size_t stride = static_cast<std::size_t>(picture->width) * cinfo->input_components;
  while (cinfo->next_scanline < cinfo->image_height) {
    JSAMPROW row =
        const_cast<JSAMPROW>(picture->samples.data()) + stride * cinfo->next_scanline;
    jpeg_write_scanlines(cinfo, &row, 1);
  }
  jpeg_finish_compress(cinfo);
  return true;
}

}  // namespace

QByteArray writeJpeg(const JpegPicture& picture) {
  jpeg_compress_struct cinfo;
  std::memset(&cinfo, 0, sizeof cinfo);
  JpegErrors errors;
  cinfo.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = onJpegError;
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  const bool ok = writeJpegGuarded(&cinfo, &errors, &picture, &buffer, &size);
  jpeg_destroy_compress(&cinfo);
  QByteArray bytes;
  if (ok) bytes = QByteArray(reinterpret_cast<const char*>(buffer), static_cast<qsizetype>(size));
  std::free(buffer);
  return bytes;
}

namespace {

bool plainRgbGuarded(jpeg_decompress_struct* cinfo, JpegErrors* errors, const QByteArray* bytes,
                     std::vector<std::uint8_t>* samples, QImage* out) {
  if (setjmp(errors->jump)) return false;
  jpeg_create_decompress(cinfo);
  jpeg_mem_src(cinfo, reinterpret_cast<const unsigned char*>(bytes->constData()),
               static_cast<unsigned long>(bytes->size()));
  jpeg_read_header(cinfo, TRUE);
  cinfo->out_color_space = JCS_RGB;
  jpeg_start_decompress(cinfo);
  const std::size_t stride = std::size_t{3} * cinfo->output_width;
  samples->resize(stride * cinfo->output_height);
  while (cinfo->output_scanline < cinfo->output_height) {
    JSAMPROW row = samples->data() + stride * cinfo->output_scanline;
    jpeg_read_scanlines(cinfo, &row, 1);
  }
  jpeg_finish_decompress(cinfo);
  *out = QImage(static_cast<int>(cinfo->output_width), static_cast<int>(cinfo->output_height),
                QImage::Format_RGB32);
  const std::uint8_t* sample = samples->data();
  for (int y = 0; y < out->height(); ++y)
    for (int x = 0; x < out->width(); ++x, sample += 3)
      out->setPixel(x, y, qRgb(sample[0], sample[1], sample[2]));
  return true;
}

}  // namespace

std::optional<QImage> plainRgbJpegDecode(const QByteArray& bytes) {
  jpeg_decompress_struct cinfo;
  std::memset(&cinfo, 0, sizeof cinfo);
  JpegErrors errors;
  cinfo.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = onJpegError;
  std::vector<std::uint8_t> samples;
  QImage picture;
  const bool ok = plainRgbGuarded(&cinfo, &errors, &bytes, &samples, &picture);
  jpeg_destroy_decompress(&cinfo);
  if (!ok) return std::nullopt;
  return picture;
}

// ---- GIF -------------------------------------------------------------------

namespace {

int appendGifBytes(GifFileType* gif, const GifByteType* data, int length) {
  auto* out = static_cast<QByteArray*>(gif->UserData);
  out->append(reinterpret_cast<const char*>(data), length);
  return length;
}

// The returned map must be freed with GifFreeMapObject; null for no colours.
ColorMapObject* makeMap(const std::vector<GifColour>& colours) {
  if (colours.empty()) return nullptr;
  std::vector<GifColorType> entries;
  for (const GifColour& c : colours) entries.push_back({c.red, c.green, c.blue});
  return GifMakeMapObject(static_cast<int>(entries.size()), entries.data());
}

bool writeFrame(GifFileType* gif, const GifFrame& frame) {
  if (frame.controlIndex) {
    GifByteType control[4] = {static_cast<GifByteType>(frame.controlFlag ? 0x01 : 0x00), 0, 0,
                              static_cast<GifByteType>(*frame.controlIndex)};
    if (EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, control) == GIF_ERROR) return false;
  }
  ColorMapObject* local = makeMap(frame.localColours);
  // giflib 5.2 forgets, without freeing it, the previous frame's local colour
  // map when a frame without one follows; free it here instead.
  if (local == nullptr && gif->Image.ColorMap != nullptr) {
    GifFreeMapObject(gif->Image.ColorMap);
    gif->Image.ColorMap = nullptr;
  }
  const int result = EGifPutImageDesc(gif, frame.left, frame.top, frame.width, frame.height,
                                      frame.interlaced, local);
  GifFreeMapObject(local);
  if (result == GIF_ERROR) return false;
  for (std::vector<std::uint8_t> row : frame.storedRows)  // a copy: giflib masks it in place
    if (EGifPutLine(gif, row.data(), static_cast<int>(row.size())) == GIF_ERROR) return false;
  return true;
}

}  // namespace

QByteArray writeGif(const GifPicture& picture) {
  QByteArray out;
  int error = 0;
  GifFileType* gif = EGifOpen(&out, appendGifBytes, &error);
  if (gif == nullptr) return {};
  EGifSetGifVersion(gif, true);
  ColorMapObject* global = makeMap(picture.globalColours);
  bool ok = EGifPutScreenDesc(gif, picture.screenWidth, picture.screenHeight, 8,
                              picture.backgroundIndex, global) != GIF_ERROR;
  GifFreeMapObject(global);
  for (const GifFrame& frame : picture.frames) ok = ok && writeFrame(gif, frame);
  ok = EGifCloseFile(gif, &error) != GIF_ERROR && ok;  // writes the trailer
  return ok ? out : QByteArray();
}

// ---- BMP -------------------------------------------------------------------

void appendU16(QByteArray& bytes, std::uint16_t value) {
  bytes.append(static_cast<char>(value & 0xFF));
  bytes.append(static_cast<char>(value >> 8));
}

void appendU32(QByteArray& bytes, std::uint32_t value) {
  appendU16(bytes, static_cast<std::uint16_t>(value & 0xFFFF));
  appendU16(bytes, static_cast<std::uint16_t>(value >> 16));
}

QByteArray bmpInfoHeader(const BmpInfo& info) {
  QByteArray header;
  appendU32(header, info.headerSize);
  appendU32(header, static_cast<std::uint32_t>(info.width));
  appendU32(header, static_cast<std::uint32_t>(info.height));
  appendU16(header, 1);  // planes
  appendU16(header, info.bitsPerPixel);
  appendU32(header, info.compression);
  appendU32(header, 0);     // image size
  appendU32(header, 2835);  // 72 dpi
  appendU32(header, 2835);
  appendU32(header, info.coloursUsed);
  appendU32(header, 0);  // important colours
  if (info.headerSize >= 52)
    for (std::uint32_t mask : info.masks) appendU32(header, mask);
  header.append(static_cast<qsizetype>(info.headerSize) - header.size(), '\0');
  return header;
}

QByteArray bmpCoreHeader(std::uint16_t width, std::uint16_t height, std::uint16_t bitsPerPixel) {
  QByteArray header;
  appendU32(header, 12);
  appendU16(header, width);
  appendU16(header, height);
  appendU16(header, 1);
  appendU16(header, bitsPerPixel);
  return header;
}

QByteArray bmpFile(const QByteArray& header, const QByteArray& beforePixels,
                   const QByteArray& pixels) {
  const auto pixelOffset = static_cast<std::uint32_t>(14 + header.size() + beforePixels.size());
  QByteArray file("BM");
  appendU32(file, pixelOffset + static_cast<std::uint32_t>(pixels.size()));
  appendU32(file, 0);
  appendU32(file, pixelOffset);
  file += header;
  file += beforePixels;
  file += pixels;
  return file;
}

QByteArray bmpPalette(const std::vector<QRgb>& colours) {
  QByteArray palette;
  for (QRgb c : colours) {
    palette.append(static_cast<char>(qBlue(c)));
    palette.append(static_cast<char>(qGreen(c)));
    palette.append(static_cast<char>(qRed(c)));
    palette.append('\0');
  }
  return palette;
}

}  // namespace corvant::imaging::fixtures
