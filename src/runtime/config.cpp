#include "runtime/config.h"

namespace corvant {

const std::string& ConfigList::at(int index) const {
  static const std::string empty;
  if (index < 0 || index >= size()) return empty;
  return lines[static_cast<size_t>(index)];
}

void ConfigList::set(int index, std::string value) {
  if (index < 0) return;
  padTo(index + 1);
  lines[static_cast<size_t>(index)] = std::move(value);
}

void ConfigList::padTo(int count) {
  if (size() < count) lines.resize(static_cast<size_t>(count));
}

}  // namespace corvant
