#pragma once
// The command interpreter's state: one instance, shared by nested runs.
#include <array>
#include <string>

namespace corvant {

struct Interpreter {
  std::string sourceLine;  // the line as taken from the line list, for messages
  std::string word;        // command word
  std::array<std::string, 9> p;  // P1..P9 are p[0]..p[8]
  std::string trace;
  // Set by a handler that continues as another command (word and parameters
  // already replaced); the dispatcher looks the new word up.
  bool redispatch = false;
  // Set by a handler after which the line at the (already moved) line index
  // is interpreted at once: a text block, a successful jump.
  bool chainNext = false;

  const std::string& P(int n) const { return p[static_cast<size_t>(n - 1)]; }
  void clearParams() {
    for (auto& s : p) s.clear();
  }
  std::string& P(int n) { return p[static_cast<size_t>(n - 1)]; }
};

}  // namespace corvant
