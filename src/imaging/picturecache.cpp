#include "imaging/picturecache.h"

#include <QFileInfo>
#include <QHash>
#include <list>
#include <utility>
#include <variant>

#include "imaging/picture.h"
#include "imaging/picture_io.h"

namespace corvant::imaging {
namespace {

using detail::Decoder;

// What tells one version of a file from another.
struct FileStamp {
  qint64 size = -1;
  qint64 modifiedMs = 0;
  bool operator==(const FileStamp&) const = default;
};

struct Key {
  QString path;
  Decoder decoder;
  bool operator==(const Key&) const = default;
};

size_t qHash(const Key& key, size_t seed = 0) noexcept {
  return qHashMulti(seed, key.path, static_cast<int>(key.decoder));
}

struct Entry {
  Key key;
  FileStamp stamp;
  // A PNG is kept before being laid onto a target; the other decoders' pictures
  // replace the target whole.
  std::variant<detail::PngPixels, QImage> picture;
  std::size_t bytes = 0;
};

std::size_t bytesOf(const QImage& image) { return static_cast<std::size_t>(image.sizeInBytes()); }

}  // namespace

struct PictureCache::State {
  using Entries = std::list<Entry>;

  std::size_t capacity;
  std::size_t bytes = 0;
  std::uint64_t hits = 0;
  std::uint64_t misses = 0;
  Entries entries;  // most recently used first
  QHash<Key, Entries::iterator> index;

  // The entry for this version of the file, made the most recent; null when
  // there is none. An entry for another version is dropped on the way.
  const Entry* find(const Key& key, const FileStamp& stamp) {
    const auto found = index.constFind(key);
    if (found == index.constEnd()) return nullptr;
    const Entries::iterator entry = *found;
    if (entry->stamp != stamp) {
      erase(entry);
      return nullptr;
    }
    entries.splice(entries.begin(), entries, entry);
    return &*entry;
  }

  void forget(const Key& key) {
    const auto found = index.constFind(key);
    if (found != index.constEnd()) erase(*found);
  }

  void insert(Entry entry) {
    forget(entry.key);
    if (entry.bytes > capacity) return;
    bytes += entry.bytes;
    entries.push_front(std::move(entry));
    index.insert(entries.front().key, entries.begin());
    trimTo(capacity);
  }

  void erase(Entries::iterator entry) {
    bytes -= entry->bytes;
    index.remove(entry->key);
    entries.erase(entry);
  }

  void trimTo(std::size_t limit) {
    while (bytes > limit && !entries.empty()) erase(std::prev(entries.end()));
  }
};

PictureCache::PictureCache(std::size_t capacityBytes) : state_(std::make_unique<State>()) {
  state_->capacity = capacityBytes;
}

PictureCache::~PictureCache() = default;

bool PictureCache::load(const QString& name, const QString& file, QImage& target) {
  const std::vector<Decoder> decoders = detail::decodersFor(name);
  if (decoders.empty()) return false;

  // The file is looked at before it is read. Should it change in between,
  // the picture is kept under the older stamp and simply decoded again at the
  // next load; looking afterwards could file the old picture under the new
  // stamp for good.
  const QFileInfo info(file);
  const bool cacheable = info.isFile();
  const QString path = info.absoluteFilePath();
  const FileStamp stamp{cacheable ? info.size() : -1,
                        cacheable ? info.lastModified().toMSecsSinceEpoch() : 0};

  bool changed = false;
  for (const Decoder decoder : decoders) {
    const Key decoderKey{path, decoder};
    if (!cacheable) state_->forget(decoderKey);  // the file has gone: so has its picture
    if (const Entry* entry = cacheable ? state_->find(decoderKey, stamp) : nullptr) {
      ++state_->hits;
      if (const auto* png = std::get_if<detail::PngPixels>(&entry->picture))
        detail::layPngOnto(*png, target);
      else
        target = std::get<QImage>(entry->picture);
      changed = true;
      continue;
    }
    ++state_->misses;

    if (decoder == Decoder::Png) {
      // Errors propagate exactly as from decodePngFileOnto, and nothing is
      // kept for a file that failed.
      detail::PngPixels pixels = detail::decodePngOntoKeeping(detail::readPngFile(file), target);
      changed = true;
      if (cacheable) {
        const std::size_t bytes = pixels.sizeInBytes();
        state_->insert(Entry{decoderKey, stamp, std::move(pixels), bytes});
      }
      continue;
    }

    const std::optional<QByteArray> bytes = detail::readWholeFile(file);
    if (!bytes) continue;
    std::optional<QImage> picture = detail::decodeWith(decoder, *bytes);
    if (!picture) continue;
    target = *picture;
    changed = true;
    if (cacheable) state_->insert(Entry{decoderKey, stamp, std::move(*picture), bytesOf(target)});
  }
  return changed;
}

void PictureCache::clear() {
  state_->entries.clear();
  state_->index.clear();
  state_->bytes = 0;
  state_->hits = 0;
  state_->misses = 0;
}

void PictureCache::setCapacity(std::size_t bytes) {
  state_->capacity = bytes;
  state_->trimTo(bytes);
}

std::size_t PictureCache::capacity() const { return state_->capacity; }

PictureCacheStats PictureCache::stats() const {
  return {state_->hits, state_->misses, state_->entries.size(), state_->bytes};
}

PictureCache& sharedPictureCache() {
  static PictureCache cache;
  return cache;
}

bool loadPictureFileCached(const QString& name, const QString& file, QImage& target) {
  return sharedPictureCache().load(name, file, target);
}

}  // namespace corvant::imaging
