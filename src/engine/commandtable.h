#pragma once
// The command words and their handlers. Each subsystem keeps its words in a
// table at the top of its commands file and registers them here.
#include <string>
#include <string_view>
#include <unordered_map>

namespace corvant {

struct Runtime;
using Handler = void (*)(Runtime&);

// A lookup remembered next to a parsed line; valid while the table that
// filled it is unchanged.
struct HandlerCache {
  const void* table = nullptr;
  unsigned generation = 0;
  Handler handler = nullptr;
};

struct CommandEntry {
  const char* word;
  Handler handler;
};

class CommandTable {
 public:
  // A word registered twice is a programming error; the first one wins and
  // the clash is reported in debug builds.
  void add(std::string_view word, Handler handler);
  template <size_t N>
  void add(const CommandEntry (&entries)[N]) {
    for (const auto& e : entries) add(e.word, e.handler);
  }
  Handler find(const std::string& word) const;
  // find(), remembered in `cache`.
  Handler cached(HandlerCache& cache, const std::string& word) const {
    if (cache.table != this || cache.generation != generation_) {
      cache = {this, generation_, find(word)};
    }
    return cache.handler;
  }
  size_t size() const { return map_.size(); }

 private:
  std::unordered_map<std::string, Handler> map_;
  unsigned generation_ = 1;
};

// Fills a table with every command of the system.
void registerAllCommands(CommandTable& table);

}  // namespace corvant
