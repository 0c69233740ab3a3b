#include "imaging/picture.h"

#include "imaging/picture_io.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace corvant::imaging {
namespace {

struct MemorySource {
  const GifByteType* data = nullptr;
  std::size_t size = 0;
  std::size_t position = 0;
};

// giflib treats a short read as an error, so returning fewer bytes than asked
// for is how the end of the data is reported.
int readFromMemory(GifFileType* gif, GifByteType* out, int length) {
  auto* source = static_cast<MemorySource*>(gif->UserData);
  if (length <= 0) return 0;
  const std::size_t count =
      std::min(static_cast<std::size_t>(length), source->size - source->position);
  std::memcpy(out, source->data + source->position, count);
  source->position += count;
  return static_cast<int>(count);
}

class GifFile {
 public:
  explicit GifFile(MemorySource* source) {
    int error = 0;
    gif_ = DGifOpen(source, readFromMemory, &error);
  }
  ~GifFile() {
    int error = 0;
    if (gif_) DGifCloseFile(gif_, &error);
  }
  GifFile(const GifFile&) = delete;
  GifFile& operator=(const GifFile&) = delete;

  GifFileType* get() const { return gif_; }

 private:
  GifFileType* gif_ = nullptr;
};

constexpr int kNoTransparency = -1;

// Reads one extension record whole. A graphic control extension sets the
// transparent index for the image that follows it.
bool readExtension(GifFileType* gif, int& transparentIndex) {
  int code = 0;
  GifByteType* block = nullptr;  // block[0] is the length of the data after it
  if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) return false;
  if (code == GRAPHICS_EXT_FUNC_CODE && block != nullptr && block[0] >= 4)
    transparentIndex = (block[1] & 0x01) ? block[4] : kNoTransparency;
  while (block != nullptr)
    if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) return false;
  return true;
}

QRgb mapColour(const ColorMapObject& map, int index) {
  if (index < 0 || index >= map.ColorCount) return qRgb(0, 0, 0);
  const GifColorType& colour = map.Colors[index];
  return qRgb(colour.Red, colour.Green, colour.Blue);
}

// The order in which an interlaced image stores its rows: every 8th row from
// row 0, every 8th from row 4, every 4th from row 2, every 2nd from row 1.
std::vector<int> rowOrder(int height, bool interlaced) {
  std::vector<int> order;
  order.reserve(static_cast<std::size_t>(height));
  if (!interlaced) {
    for (int y = 0; y < height; ++y) order.push_back(y);
    return order;
  }
  constexpr int kStart[] = {0, 4, 2, 1};
  constexpr int kStep[] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass)
    for (int y = kStart[pass]; y < height; y += kStep[pass]) order.push_back(y);
  return order;
}

// Called with the image descriptor record next in the stream.
std::optional<QImage> readFirstImage(GifFileType* gif, int transparentIndex) {
  if (DGifGetImageDesc(gif) == GIF_ERROR) return std::nullopt;
  const GifImageDesc& image = gif->Image;
  if (!isSanePictureSize(image.Width, image.Height)) return std::nullopt;

  int canvasWidth = gif->SWidth;
  int canvasHeight = gif->SHeight;
  if (canvasWidth == 0 || canvasHeight == 0) {
    // Some writers leave the screen size at zero; the image then defines it.
    canvasWidth = image.Left + image.Width;
    canvasHeight = image.Top + image.Height;
  }
  if (!isSanePictureSize(canvasWidth, canvasHeight)) return std::nullopt;

  const ColorMapObject* colours = image.ColorMap ? image.ColorMap : gif->SColorMap;
  if (colours == nullptr) return std::nullopt;

  QRgb background = qRgb(0, 0, 0);
  if (gif->SColorMap) background = mapColour(*gif->SColorMap, gif->SBackGroundColor);

  QImage canvas(canvasWidth, canvasHeight, QImage::Format_RGB32);
  if (canvas.isNull()) return std::nullopt;
  canvas.fill(background);

  // The part of the image that lies on the canvas; the rest is decoded and
  // dropped.
  const int visibleWidth = std::clamp(canvasWidth - image.Left, 0, image.Width);
  std::vector<GifPixelType> line(static_cast<std::size_t>(image.Width));
  for (const int row : rowOrder(image.Height, image.Interlace)) {
    if (DGifGetLine(gif, line.data(), image.Width) == GIF_ERROR) return std::nullopt;
    const int y = image.Top + row;
    if (y >= canvasHeight || visibleWidth == 0) continue;
    auto* target = reinterpret_cast<QRgb*>(canvas.scanLine(y)) + image.Left;
    for (int x = 0; x < visibleWidth; ++x) {
      const int index = line[static_cast<std::size_t>(x)];
      target[x] = index == transparentIndex ? kTransparentColour : mapColour(*colours, index);
    }
  }
  return canvas;
}

}  // namespace

std::optional<QImage> decodeGif(const QByteArray& bytes) {
  MemorySource source{reinterpret_cast<const GifByteType*>(bytes.constData()),
                      static_cast<std::size_t>(bytes.size()), 0};
  GifFile file(&source);
  GifFileType* gif = file.get();
  if (gif == nullptr) return std::nullopt;

  // Only the records up to the end of the first image are read.
  int transparentIndex = kNoTransparency;
  for (;;) {
    GifRecordType record = UNDEFINED_RECORD_TYPE;
    if (DGifGetRecordType(gif, &record) == GIF_ERROR) return std::nullopt;
    switch (record) {
      case EXTENSION_RECORD_TYPE:
        if (!readExtension(gif, transparentIndex)) return std::nullopt;
        break;
      case IMAGE_DESC_RECORD_TYPE:
        return readFirstImage(gif, transparentIndex);
      default:  // the trailer, or anything unexpected: no image to show
        return std::nullopt;
    }
  }
}

std::optional<QImage> decodeGif(const QString& path) {
  const std::optional<QByteArray> bytes = detail::readWholeFile(path);
  if (!bytes) return std::nullopt;
  return decodeGif(*bytes);
}

}  // namespace corvant::imaging
