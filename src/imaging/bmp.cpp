#include "imaging/picture.h"

#include "imaging/picture_io.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <vector>

namespace corvant::imaging {
namespace {

constexpr std::uint32_t kRgb = 0;
constexpr std::uint32_t kRle8 = 1;
constexpr std::uint32_t kRle4 = 2;
constexpr std::uint32_t kBitFields = 3;
constexpr std::uint32_t kAlphaBitFields = 6;

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kCoreHeaderSize = 12;

// Little-endian reads. Every caller checks has() first; the reads themselves
// stay inside the buffer regardless.
class Bytes {
 public:
  explicit Bytes(const QByteArray& bytes)
      : data_(reinterpret_cast<const std::uint8_t*>(bytes.constData())),
        size_(static_cast<std::size_t>(bytes.size())) {}

  bool has(std::size_t offset, std::size_t length) const {
    return offset <= size_ && length <= size_ - offset;
  }
  std::uint8_t u8(std::size_t offset) const { return has(offset, 1) ? data_[offset] : 0; }
  std::uint16_t u16(std::size_t offset) const {
    return static_cast<std::uint16_t>(u8(offset) | u8(offset + 1) << 8);
  }
  std::uint32_t u32(std::size_t offset) const {
    return static_cast<std::uint32_t>(u16(offset)) | static_cast<std::uint32_t>(u16(offset + 2)) << 16;
  }
  std::int32_t i32(std::size_t offset) const { return static_cast<std::int32_t>(u32(offset)); }
  const std::uint8_t* at(std::size_t offset) const { return data_ + offset; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
};

// One colour channel of a 16 or 32-bit pixel, located by its bit mask.
struct Channel {
  std::uint32_t mask = 0;
  int shift = 0;
  int bits = 0;

  static std::optional<Channel> fromMask(std::uint32_t mask) {
    Channel channel;
    channel.mask = mask;
    if (mask == 0) return channel;  // the channel is absent and reads as 0
    channel.shift = std::countr_zero(mask);
    channel.bits = std::popcount(mask);
    // A mask with holes is no valid bit field.
    if (std::countr_one(mask >> channel.shift) != channel.bits) return std::nullopt;
    return channel;
  }

  // Scaled to 0..255 so that the largest value of the field is full intensity.
  int read(std::uint32_t pixel) const {
    if (bits == 0) return 0;
    const std::uint32_t value = (pixel & mask) >> shift;
    if (bits >= 8) return static_cast<int>(value >> (bits - 8));
    const std::uint32_t largest = (1u << bits) - 1;
    return static_cast<int>((value * 255 + largest / 2) / largest);
  }
};

struct Layout {
  std::int64_t width = 0;
  std::int64_t height = 0;
  bool topDown = false;
  int bitsPerPixel = 0;
  std::uint32_t compression = kRgb;
  std::uint32_t coloursUsed = 0;
  std::size_t paletteOffset = 0;
  std::size_t paletteEntrySize = 4;
  Channel red, green, blue;
};

std::optional<Layout> readLayout(const Bytes& bytes) {
  if (!bytes.has(0, kFileHeaderSize + 4) || bytes.u8(0) != 'B' || bytes.u8(1) != 'M')
    return std::nullopt;
  const std::size_t infoOffset = kFileHeaderSize;
  const std::uint32_t infoSize = bytes.u32(infoOffset);

  Layout layout;
  if (infoSize == kCoreHeaderSize) {
    // The OS/2 header: 16-bit unsigned sizes, always bottom-up, no
    // compression, palette entries of three bytes.
    if (!bytes.has(infoOffset, kCoreHeaderSize)) return std::nullopt;
    layout.width = bytes.u16(infoOffset + 4);
    layout.height = bytes.u16(infoOffset + 6);
    layout.bitsPerPixel = bytes.u16(infoOffset + 10);
    layout.paletteEntrySize = 3;
    layout.paletteOffset = infoOffset + kCoreHeaderSize;
  } else if (infoSize == 40 || infoSize == 52 || infoSize == 56 || infoSize == 108 ||
             infoSize == 124) {
    if (!bytes.has(infoOffset, infoSize)) return std::nullopt;
    layout.width = bytes.i32(infoOffset + 4);
    const std::int64_t height = bytes.i32(infoOffset + 8);
    layout.topDown = height < 0;
    layout.height = height < 0 ? -height : height;
    layout.bitsPerPixel = bytes.u16(infoOffset + 14);
    layout.compression = bytes.u32(infoOffset + 16);
    layout.coloursUsed = bytes.u32(infoOffset + 32);
    layout.paletteOffset = infoOffset + infoSize;
  } else {
    return std::nullopt;
  }
  if (!isSanePictureSize(layout.width, layout.height)) return std::nullopt;

  const int bpp = layout.bitsPerPixel;
  std::uint32_t masks[3] = {0, 0, 0};
  switch (layout.compression) {
    case kRgb:
      if (bpp == 16) {
        masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
      } else if (bpp == 32) {
        masks[0] = 0xFF0000, masks[1] = 0x00FF00, masks[2] = 0x0000FF;
      } else if (bpp != 1 && bpp != 2 && bpp != 4 && bpp != 8 && bpp != 24) {
        return std::nullopt;
      }
      break;
    case kBitFields:
    case kAlphaBitFields: {
      if (bpp != 16 && bpp != 32) return std::nullopt;
      // The masks sit right after the 40-byte header; the larger headers
      // contain them at that same place, a 40-byte one is followed by them.
      const std::size_t maskOffset = infoOffset + 40;
      const std::size_t maskCount = layout.compression == kAlphaBitFields ? 4 : 3;
      if (!bytes.has(maskOffset, 4 * maskCount)) return std::nullopt;
      for (std::size_t i = 0; i < 3; ++i) masks[i] = bytes.u32(maskOffset + 4 * i);
      if (infoSize == 40) layout.paletteOffset += 4 * maskCount;
      break;
    }
    case kRle8:
      if (bpp != 8 || layout.topDown) return std::nullopt;
      break;
    case kRle4:
      if (bpp != 4 || layout.topDown) return std::nullopt;
      break;
    default:
      return std::nullopt;
  }
  const std::optional<Channel> red = Channel::fromMask(masks[0]);
  const std::optional<Channel> green = Channel::fromMask(masks[1]);
  const std::optional<Channel> blue = Channel::fromMask(masks[2]);
  if (!red || !green || !blue) return std::nullopt;
  layout.red = *red, layout.green = *green, layout.blue = *blue;
  return layout;
}

// The palette runs from the end of the header to the pixel data; a palette
// shorter than the pixel depth allows is normal, and indices past its end
// read as black.
std::optional<std::vector<QRgb>> readPalette(const Bytes& bytes, const Layout& layout,
                                             std::size_t pixelOffset) {
  std::vector<QRgb> palette;
  if (layout.bitsPerPixel > 8) return palette;
  std::size_t count = std::size_t{1} << layout.bitsPerPixel;
  if (layout.coloursUsed != 0 && layout.coloursUsed < count) count = layout.coloursUsed;
  count = std::min(count, (pixelOffset - layout.paletteOffset) / layout.paletteEntrySize);
  if (!bytes.has(layout.paletteOffset, count * layout.paletteEntrySize)) return std::nullopt;
  palette.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t entry = layout.paletteOffset + i * layout.paletteEntrySize;
    palette.push_back(qRgb(bytes.u8(entry + 2), bytes.u8(entry + 1), bytes.u8(entry)));
  }
  return palette;
}

QRgb paletteColour(const std::vector<QRgb>& palette, unsigned index) {
  return index < palette.size() ? palette[index] : qRgb(0, 0, 0);
}

bool readUncompressed(const Bytes& bytes, const Layout& layout, std::size_t pixelOffset,
                      const std::vector<QRgb>& palette, QImage& image) {
  const int bpp = layout.bitsPerPixel;
  const std::int64_t width = layout.width;
  // Rows are padded to whole 32-bit words.
  const auto stride = static_cast<std::size_t>((width * bpp + 31) / 32 * 4);
  const auto height = static_cast<std::size_t>(layout.height);
  if (stride != 0 && height > (SIZE_MAX - pixelOffset) / stride) return false;
  if (!bytes.has(pixelOffset, stride * height)) return false;

  for (std::size_t row = 0; row < height; ++row) {
    const std::uint8_t* in = bytes.at(pixelOffset + row * stride);
    const auto y = static_cast<int>(layout.topDown ? row : height - 1 - row);
    auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (std::int64_t x = 0; x < width; ++x) {
      switch (bpp) {
        case 1:
        case 2:
        case 4:
        case 8: {
          // Pixels are packed from the most significant bit of each byte.
          const std::int64_t bit = x * bpp;
          const unsigned shift = 8 - bpp - static_cast<unsigned>(bit % 8);
          const unsigned index = (in[bit / 8] >> shift) & ((1u << bpp) - 1);
          out[x] = paletteColour(palette, index);
          break;
        }
        case 16: {
          const std::uint32_t pixel = in[2 * x] | in[2 * x + 1] << 8;
          out[x] = qRgb(layout.red.read(pixel), layout.green.read(pixel), layout.blue.read(pixel));
          break;
        }
        case 24:
          out[x] = qRgb(in[3 * x + 2], in[3 * x + 1], in[3 * x]);
          break;
        case 32: {
          const std::uint32_t pixel = static_cast<std::uint32_t>(in[4 * x]) |
                                      static_cast<std::uint32_t>(in[4 * x + 1]) << 8 |
                                      static_cast<std::uint32_t>(in[4 * x + 2]) << 16 |
                                      static_cast<std::uint32_t>(in[4 * x + 3]) << 24;
          out[x] = qRgb(layout.red.read(pixel), layout.green.read(pixel), layout.blue.read(pixel));
          break;
        }
      }
    }
  }
  return true;
}

// RLE8 and RLE4: pairs of (count, value) bytes, where a zero count escapes to
// end of line (0), end of picture (1), a jump (2, then dx, dy) or a literal
// run of `value` pixels padded to an even number of bytes. Rows run
// bottom-up. Pixels that land outside the picture are dropped; the stream
// must end with its end-of-picture code.
bool readRunLength(const Bytes& bytes, const Layout& layout, std::size_t pixelOffset,
                   const std::vector<QRgb>& palette, QImage& image) {
  const bool fourBit = layout.compression == kRle4;
  image.fill(qRgb(0, 0, 0));
  std::int64_t x = 0;
  std::int64_t row = 0;
  const auto put = [&](unsigned index) {
    if (x < layout.width && row < layout.height)
      reinterpret_cast<QRgb*>(image.scanLine(static_cast<int>(layout.height - 1 - row)))[x] =
          paletteColour(palette, index);
    ++x;
  };

  std::size_t position = pixelOffset;
  for (;;) {
    if (!bytes.has(position, 2)) return false;
    const unsigned count = bytes.u8(position);
    const unsigned value = bytes.u8(position + 1);
    position += 2;
    if (count > 0) {
      for (unsigned i = 0; i < count; ++i) put(fourBit ? (i % 2 == 0 ? value >> 4 : value & 0x0F) : value);
    } else if (value == 0) {
      x = 0;
      ++row;
    } else if (value == 1) {
      return true;
    } else if (value == 2) {
      if (!bytes.has(position, 2)) return false;
      x += bytes.u8(position);
      row += bytes.u8(position + 1);
      position += 2;
    } else {
      const std::size_t length = fourBit ? (value + 1) / 2 : value;
      if (!bytes.has(position, length)) return false;
      for (unsigned i = 0; i < value; ++i) {
        const unsigned byte = bytes.u8(position + (fourBit ? i / 2 : i));
        put(fourBit ? (i % 2 == 0 ? byte >> 4 : byte & 0x0F) : byte);
      }
      position += length + (length % 2);
    }
  }
}

}  // namespace

std::optional<QImage> decodeBmp(const QByteArray& data) {
  const Bytes bytes(data);
  const std::optional<Layout> layout = readLayout(bytes);
  if (!layout) return std::nullopt;

  const std::size_t pixelOffset = bytes.u32(10);
  if (pixelOffset < layout->paletteOffset || !bytes.has(pixelOffset, 0)) return std::nullopt;
  const std::optional<std::vector<QRgb>> palette = readPalette(bytes, *layout, pixelOffset);
  if (!palette) return std::nullopt;

  QImage image(static_cast<int>(layout->width), static_cast<int>(layout->height),
               QImage::Format_RGB32);
  if (image.isNull()) return std::nullopt;
  const bool runLength = layout->compression == kRle8 || layout->compression == kRle4;
  const bool ok = runLength ? readRunLength(bytes, *layout, pixelOffset, *palette, image)
                            : readUncompressed(bytes, *layout, pixelOffset, *palette, image);
  if (!ok) return std::nullopt;
  return image;
}

std::optional<QImage> decodeBmp(const QString& path) {
  const std::optional<QByteArray> bytes = detail::readWholeFile(path);
  if (!bytes) return std::nullopt;
  return decodeBmp(*bytes);
}

}  // namespace corvant::imaging
