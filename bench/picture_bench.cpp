// What the picture loader costs per picture, set against a bare libpng or
// libjpeg decode of the same file in the same binary, and what a picture
// served from the decoded-picture cache costs.
#include <benchmark/benchmark.h>
#include <jpeglib.h>
#include <png.h>

#include <QImage>
#include <QTemporaryDir>
#include <csetjmp>
#include <cstdint>
#include <cstdio>  // jpeglib.h needs FILE declared first
#include <memory>
#include <vector>

#include "imaging/picture.h"
#include "imaging/picturecache.h"

using namespace corvant;

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;

// Smooth gradients with a little noise on top: close enough to a painted
// scene for the compressed size, and so the decoding work, to be realistic.
std::vector<std::uint8_t> scene(bool withAlpha) {
  const int channels = withAlpha ? 4 : 3;
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(kWidth) * kHeight * channels);
  std::uint32_t noise = 12345;
  std::size_t i = 0;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      noise = noise * 1664525u + 1013904223u;
      const int jitter = static_cast<int>(noise >> 29) - 4;
      const auto clamp = [](int v) {
        return static_cast<std::uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
      };
      pixels[i++] = clamp(x * 255 / kWidth + jitter);
      pixels[i++] = clamp(y * 255 / kHeight - jitter);
      pixels[i++] = clamp((x + y) % 256 + jitter / 2);
      // Opaque and fully transparent areas with soft edges between them.
      if (withAlpha)
        pixels[i++] =
            clamp(((x / 100 + y / 100) % 2) * 255 + ((x % 100) < 20 ? -(x % 100) * 6 : 0));
    }
  }
  return pixels;
}

// libpng longjmps out on an error; nothing here has a destructor to skip.
bool writePngRows(png_structp png, png_infop info, FILE* file,
                  const std::vector<std::uint8_t>* pixels, bool withAlpha) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_init_io(png, file);
  png_set_IHDR(png, info, kWidth, kHeight, 8,
               withAlpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  const std::size_t rowBytes = static_cast<std::size_t>(kWidth) * (withAlpha ? 4 : 3);
  for (int y = 0; y < kHeight; ++y)
    png_write_row(png, pixels->data() + rowBytes * static_cast<std::size_t>(y));
  png_write_end(png, info);
  return true;
}

bool writePng(const QString& path, bool withAlpha) {
  const std::vector<std::uint8_t> pixels = scene(withAlpha);
  FILE* file = std::fopen(path.toLocal8Bit().constData(), "wb");
  if (!file) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  const bool ok = png && info && writePngRows(png, info, file, &pixels, withAlpha);
  png_destroy_write_struct(&png, &info);
  return std::fclose(file) == 0 && ok;
}

bool writeJpeg(const QString& path) {
  const std::vector<std::uint8_t> pixels = scene(false);
  FILE* file = std::fopen(path.toLocal8Bit().constData(), "wb");
  if (!file) return false;
  jpeg_compress_struct cinfo;
  jpeg_error_mgr errors;
  cinfo.err = jpeg_std_error(&errors);  // exits the process on error: fine for a benchmark
  jpeg_create_compress(&cinfo);
  jpeg_stdio_dest(&cinfo, file);
  cinfo.image_width = kWidth;
  cinfo.image_height = kHeight;
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 90, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(pixels.data() +
                                        static_cast<std::size_t>(cinfo.next_scanline) * kWidth * 3);
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  return std::fclose(file) == 0;
}

// The pictures, written once per run into a folder that goes with the
// process.
struct Files {
  Files() {
    ok = dir.isValid() && writePng(png, false) && writePng(translucentPng, true) && writeJpeg(jpeg);
  }
  QTemporaryDir dir;
  QString png = dir.filePath("scene.png");
  QString translucentPng = dir.filePath("overlay.png");
  QString jpeg = dir.filePath("scene.jpg");
  bool ok = false;
};

const Files& files() {
  static const Files instance;
  return instance;
}

// What the loader is given as its target: the picture on show before.
QImage previousPicture() {
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  image.fill(qRgb(40, 80, 120));
  return image;
}

// ---- Bare decodes ------------------------------------------------------------

// Classic libpng, straight from the file into 8-bit RGB or RGBA rows (the
// files hold nothing else). The row pointers are allocated before the setjmp,
// which libpng may longjmp back to.
bool readPngRows(png_structp png, png_infop info, FILE* file, std::vector<std::uint8_t>* pixels,
                 std::vector<png_bytep>* rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_init_io(png, file);
  png_read_info(png, info);
  png_read_update_info(png, info);
  const std::size_t rowBytes = png_get_rowbytes(png, info);
  const png_uint_32 height = png_get_image_height(png, info);
  if (height != rows->size() || rowBytes * height != pixels->size()) return false;
  for (png_uint_32 y = 0; y < height; ++y) (*rows)[y] = pixels->data() + rowBytes * y;
  png_read_image(png, rows->data());
  return true;
}

bool barePngDecode(const QString& path, int channels, std::vector<std::uint8_t>& pixels) {
  FILE* file = std::fopen(path.toLocal8Bit().constData(), "rb");
  if (!file) return false;
  pixels.resize(static_cast<std::size_t>(kWidth) * kHeight * static_cast<std::size_t>(channels));
  std::vector<png_bytep> rows(kHeight);
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  const bool ok = png && info && readPngRows(png, info, file, &pixels, &rows);
  png_destroy_read_struct(&png, &info, nullptr);
  std::fclose(file);
  return ok;
}

struct JpegErrors {
  jpeg_error_mgr base;
  std::jmp_buf jump;
};

// libjpeg-turbo, straight from the file into 8-bit RGB rows. Below the
// setjmp in bareJpegDecode: nothing here has a destructor to skip.
bool readJpegRows(jpeg_decompress_struct* cinfo, JpegErrors* errors, FILE* file,
                  std::vector<std::uint8_t>* pixels) {
  if (setjmp(errors->jump)) return false;
  jpeg_stdio_src(cinfo, file);
  jpeg_read_header(cinfo, TRUE);
  cinfo->out_color_space = JCS_RGB;
  jpeg_start_decompress(cinfo);
  const std::size_t rowBytes = static_cast<std::size_t>(cinfo->output_width) * 3;
  if (rowBytes * cinfo->output_height != pixels->size()) return false;
  while (cinfo->output_scanline < cinfo->output_height) {
    JSAMPROW row = pixels->data() + rowBytes * cinfo->output_scanline;
    jpeg_read_scanlines(cinfo, &row, 1);
  }
  jpeg_finish_decompress(cinfo);
  return true;
}

bool bareJpegDecode(const QString& path, std::vector<std::uint8_t>& pixels) {
  FILE* file = std::fopen(path.toLocal8Bit().constData(), "rb");
  if (!file) return false;
  pixels.resize(static_cast<std::size_t>(kWidth) * kHeight * 3);
  jpeg_decompress_struct cinfo;
  JpegErrors errors;
  cinfo.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = [](j_common_ptr c) {
    std::longjmp(reinterpret_cast<JpegErrors*>(c->err)->jump, 1);
  };
  jpeg_create_decompress(&cinfo);
  const bool ok = readJpegRows(&cinfo, &errors, file, &pixels);
  jpeg_destroy_decompress(&cinfo);
  std::fclose(file);
  return ok;
}

enum Picture { kOpaquePng, kTranslucentPng, kJpeg };

const QString& pathOf(int picture) {
  switch (picture) {
    case kOpaquePng: return files().png;
    case kTranslucentPng: return files().translucentPng;
    default: return files().jpeg;
  }
}

void labelled(benchmark::State& state) {
  static const char* const kLabels[] = {"png 800x600 rgb", "png 800x600 rgba", "jpeg 800x600"};
  state.SetLabel(kLabels[state.range(0)]);
}

void BM_PictureBareDecode(benchmark::State& state) {
  labelled(state);
  if (!files().ok) return state.SkipWithError("cannot write the pictures");
  const QString& path = pathOf(static_cast<int>(state.range(0)));
  const int picture = static_cast<int>(state.range(0));
  std::vector<std::uint8_t> pixels;
  for (auto _ : state) {
    const bool ok = picture == kJpeg
                        ? bareJpegDecode(path, pixels)
                        : barePngDecode(path, picture == kTranslucentPng ? 4 : 3, pixels);
    if (!ok) return state.SkipWithError("decoding failed");
    benchmark::DoNotOptimize(pixels.data());
  }
}
BENCHMARK(BM_PictureBareDecode)->DenseRange(kOpaquePng, kJpeg)->Unit(benchmark::kMicrosecond);

// The loader the first time a picture is shown: file read, decoded and laid
// onto the previous picture.
void BM_PictureLoadUncached(benchmark::State& state) {
  labelled(state);
  if (!files().ok) return state.SkipWithError("cannot write the pictures");
  const QString& path = pathOf(static_cast<int>(state.range(0)));
  const QImage previous = previousPicture();
  for (auto _ : state) {
    QImage target = previous;
    if (!imaging::loadPictureFile(path, path, target)) return state.SkipWithError("loading failed");
    benchmark::DoNotOptimize(target.constBits());
  }
}
BENCHMARK(BM_PictureLoadUncached)->DenseRange(kOpaquePng, kJpeg)->Unit(benchmark::kMicrosecond);

// The cached loader the first time a picture is shown: as the uncached one,
// plus keeping the decoded picture.
void BM_PictureLoadCachedCold(benchmark::State& state) {
  labelled(state);
  if (!files().ok) return state.SkipWithError("cannot write the pictures");
  const QString& path = pathOf(static_cast<int>(state.range(0)));
  const QImage previous = previousPicture();
  imaging::PictureCache cache;
  for (auto _ : state) {
    cache.clear();
    QImage target = previous;
    if (!cache.load(path, path, target)) return state.SkipWithError("loading failed");
    benchmark::DoNotOptimize(target.constBits());
  }
  if (cache.stats().hits != 0) state.SkipWithError("the cache was not cold");
}
BENCHMARK(BM_PictureLoadCachedCold)->DenseRange(kOpaquePng, kJpeg)->Unit(benchmark::kMicrosecond);

// The loader when the picture was shown before: the file is only looked at.
// A translucent PNG is still blended onto its target each time.
void BM_PictureLoadCachedWarm(benchmark::State& state) {
  labelled(state);
  if (!files().ok) return state.SkipWithError("cannot write the pictures");
  const QString& path = pathOf(static_cast<int>(state.range(0)));
  const QImage previous = previousPicture();
  imaging::PictureCache cache;
  {
    QImage target = previous;
    if (!cache.load(path, path, target)) return state.SkipWithError("loading failed");
  }
  for (auto _ : state) {
    QImage target = previous;
    if (!cache.load(path, path, target)) return state.SkipWithError("loading failed");
    benchmark::DoNotOptimize(target.constBits());
  }
  if (cache.stats().misses != 1) state.SkipWithError("the cache was not warm");
}
BENCHMARK(BM_PictureLoadCachedWarm)->DenseRange(kOpaquePng, kJpeg)->Unit(benchmark::kMicrosecond);

}  // namespace
