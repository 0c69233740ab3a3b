#pragma once

// Decoded pictures kept in memory, so that a scene shown again does not pay
// for decoding its files again.
//
// A cached picture is found by the file it came from: its path as resolved on
// disk, its size and its modification time. A file whose size or time has
// changed since is decoded afresh; nothing is ever served for a file that
// cannot be found. Only successes are kept, so a damaged file that is fixed on
// disk shows at the next load.
//
// Loading from the cache gives the target exactly the pixels an uncached load
// would: a PNG is kept decoded but not yet laid onto anything, and is laid
// (blended) onto each target it is loaded into.
//
// Not thread-safe: the cache and loadPictureFileCached are meant for the UI
// thread only.

#include <QImage>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace corvant::imaging {

struct PictureCacheStats {
  // Decoder runs answered from the cache, and decoder runs that read the file.
  // A name such as "a.jpg.bmp" asks for two decoder runs per load.
  std::uint64_t hits = 0;
  std::uint64_t misses = 0;
  std::size_t entries = 0;
  std::size_t bytes = 0;  // pixel memory held, the figure the capacity bounds
};

class PictureCache {
 public:
  static constexpr std::size_t kDefaultCapacityBytes = std::size_t{256} * 1024 * 1024;

  explicit PictureCache(std::size_t capacityBytes = kDefaultCapacityBytes);
  ~PictureCache();
  PictureCache(const PictureCache&) = delete;
  PictureCache& operator=(const PictureCache&) = delete;

  // loadPictureFile(name, file, target), with each decoder's result taken
  // from the cache when the file is unchanged. Same contract: the decoders
  // the name calls for run in the same order, a later success overwrites an
  // earlier one, PNG errors propagate as PictureError with the same texts, a
  // JPEG, BMP or GIF failure leaves `target` untouched. True when `target`
  // was written.
  bool load(const QString& name, const QString& file, QImage& target);

  // Drops every picture and zeroes the counters.
  void clear();

  // The most pixel memory kept. When it is exceeded, the pictures used least
  // recently go first; a picture larger than the whole capacity is shown but
  // not kept.
  void setCapacity(std::size_t bytes);
  std::size_t capacity() const;

  PictureCacheStats stats() const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// The cache the program's picture loader uses.
PictureCache& sharedPictureCache();

// sharedPictureCache().load(name, file, target).
bool loadPictureFileCached(const QString& name, const QString& file, QImage& target);

}  // namespace corvant::imaging
