#pragma once
// The table of links behind every clickable rectangle of the picture
// surfaces: 180 records in fixed groups, each group with a ring counter.
#include <array>
#include <string>

namespace corvant {

struct LinkRecord {
  bool active = false;
  int x = 0, y = 0, height = 0, width = 0;
  int cursor = 0;
  std::string kind;
  std::string picture;
  std::string target;
  std::string pressedPicture;
  std::string pressSound;
};

class LinkTable {
 public:
  static constexpr int kRecords = 180;
  std::array<LinkRecord, kRecords> records;
};

}  // namespace corvant
