#pragma once
// The command words and their handlers. Each subsystem keeps its words in a
// table at the top of its commands file and registers them here.
#include <string>
#include <string_view>
#include <unordered_map>

namespace corvant {

struct Runtime;
using Handler = void (*)(Runtime&);

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
  size_t size() const { return map_.size(); }

 private:
  std::unordered_map<std::string, Handler> map_;
};

// Fills a table with every command of the system.
void registerAllCommands(CommandTable& table);

}  // namespace corvant
