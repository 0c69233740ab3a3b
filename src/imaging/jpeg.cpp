#include "imaging/picture.h"

#include "imaging/picture_io.h"

#include <csetjmp>
#include <cstdio>  // jpeglib.h needs FILE declared first
#include <cstring>

#include <jerror.h>
#include <jpeglib.h>

namespace corvant::imaging {
namespace {

// libjpeg calls error_exit on any fatal error and expects it not to return.
struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
};

[[noreturn]] void onJpegError(j_common_ptr cinfo) {
  std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

// Warnings about recoverable damage would go to stderr; nobody reads it.
void onJpegMessage(j_common_ptr) {}

// A source over the whole file held in memory. Unlike jpeg_mem_src, running
// out of data is an error: libjpeg would otherwise invent an end-of-image
// marker and hand back a picture whose lower part is grey.
void initSource(j_decompress_ptr) {}
void termSource(j_decompress_ptr) {}

boolean fillInputBuffer(j_decompress_ptr cinfo) {
  ERREXIT(cinfo, JERR_INPUT_EOF);
  return FALSE;
}

void skipInputData(j_decompress_ptr cinfo, long count) {
  if (count <= 0) return;
  jpeg_source_mgr* source = cinfo->src;
  if (static_cast<unsigned long>(count) > source->bytes_in_buffer) ERREXIT(cinfo, JERR_INPUT_EOF);
  source->next_input_byte += count;
  source->bytes_in_buffer -= static_cast<std::size_t>(count);
}

// Decodes into `out`. Runs below the setjmp in decompressGuarded, so libjpeg
// may longjmp out of any call here: no local may have a destructor; the
// picture is assigned straight to `out` and row memory comes from libjpeg's
// own pool, which jpeg_destroy_decompress frees.
bool decompress(jpeg_decompress_struct* cinfo, jpeg_source_mgr* source, const QByteArray* bytes,
                QImage* out) {
  jpeg_create_decompress(cinfo);
  source->next_input_byte = reinterpret_cast<const JOCTET*>(bytes->constData());
  source->bytes_in_buffer = static_cast<std::size_t>(bytes->size());
  source->init_source = initSource;
  source->fill_input_buffer = fillInputBuffer;
  source->skip_input_data = skipInputData;
  source->resync_to_restart = jpeg_resync_to_restart;
  source->term_source = termSource;
  cinfo->src = source;

  if (jpeg_read_header(cinfo, TRUE) != JPEG_HEADER_OK) return false;
  if (!isSanePictureSize(cinfo->image_width, cinfo->image_height)) return false;

  // Colour and grey pictures come out of libjpeg-turbo as four bytes per
  // pixel in the order QRgb lies in memory, with the alpha byte set to 0xFF,
  // so rows are decoded straight into the picture.
  constexpr J_COLOR_SPACE kQRgbLayout =
      Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? JCS_EXT_BGRA : JCS_EXT_ARGB;
  const bool inks = cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
  cinfo->out_color_space = inks ? JCS_CMYK : kQRgbLayout;
  jpeg_start_decompress(cinfo);

  const JDIMENSION width = cinfo->output_width;
  const JDIMENSION height = cinfo->output_height;
  if (!isSanePictureSize(width, height) || cinfo->output_components != 4) return false;

  *out = QImage(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGB32);
  if (out->isNull()) return false;

  if (!inks) {
    while (cinfo->output_scanline < height) {
      JSAMPROW line = out->scanLine(static_cast<int>(cinfo->output_scanline));
      if (jpeg_read_scanlines(cinfo, &line, 1) != 1) return false;
    }
  } else {
    JSAMPARRAY row = (*cinfo->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE,
                                                  width * 4, 1);
    while (cinfo->output_scanline < height) {
      const JDIMENSION y = cinfo->output_scanline;
      if (jpeg_read_scanlines(cinfo, row, 1) != 1) return false;
      const JSAMPLE* sample = row[0];
      auto* line = reinterpret_cast<QRgb*>(out->scanLine(static_cast<int>(y)));
      // Stored inverted: 255 means no ink, so each channel is c * k / 255.
      for (JDIMENSION x = 0; x < width; ++x, sample += 4) {
        const int k = sample[3];
        line[x] = qRgb(sample[0] * k / 255, sample[1] * k / 255, sample[2] * k / 255);
      }
    }
  }
  // Reads up to the end-of-image marker, so a file cut short fails here.
  jpeg_finish_decompress(cinfo);
  return true;
}

bool decompressGuarded(jpeg_decompress_struct* cinfo, ErrorManager* errors,
                       jpeg_source_mgr* source, const QByteArray* bytes, QImage* out) {
  if (setjmp(errors->jump)) return false;
  return decompress(cinfo, source, bytes, out);
}

}  // namespace

std::optional<QImage> decodeJpeg(const QByteArray& bytes) {
  jpeg_decompress_struct cinfo;
  std::memset(&cinfo, 0, sizeof cinfo);
  ErrorManager errors;
  cinfo.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = onJpegError;
  errors.base.output_message = onJpegMessage;
  jpeg_source_mgr source;
  std::memset(&source, 0, sizeof source);

  QImage picture;
  const bool ok = decompressGuarded(&cinfo, &errors, &source, &bytes, &picture);
  // Safe after a failure at any point, even before jpeg_create_decompress
  // ran: the structure was zeroed.
  jpeg_destroy_decompress(&cinfo);
  if (!ok) return std::nullopt;
  return picture;
}

std::optional<QImage> decodeJpeg(const QString& path) {
  const std::optional<QByteArray> bytes = detail::readWholeFile(path);
  if (!bytes) return std::nullopt;
  return decodeJpeg(*bytes);
}

}  // namespace corvant::imaging
