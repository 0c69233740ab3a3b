#pragma once
// The table of links behind every clickable rectangle of the picture
// surfaces: 180 records in fixed groups, each group with a ring counter.
// Plain data, so commands and tests can use it without windows.
#include <array>
#include <optional>
#include <string>
#include <string_view>

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

  // Both edges belong to the rectangle, so a zero-size link still has a pixel.
  bool contains(int px, int py) const { return px >= x && px <= x + width && py >= y && py <= y + height; }
};

enum class LinkGroup { Screen, Panel, Background, Scrolling, Viewer, Window1, Window2, Window3 };
constexpr int kLinkGroupCount = 8;

struct LinkRange {
  int first;
  int last;  // included
};

LinkRange linkRange(LinkGroup group);
// The words scripts use for the groups: "tel" (or "md4"), "fnc", "pan",
// "md3", "vsr", "jn1".."jn3". Any other word names no group.
std::optional<LinkGroup> linkGroupByWord(std::string_view word);

class LinkTable {
 public:
  static constexpr int kRecords = 180;
  std::array<LinkRecord, kRecords> records;

  // Mouse state that scripts can read back.
  int hovered = -1;               // record under the pointer, -1 for none
  int insideX = 0, insideY = 0;   // release position inside the last released link
  int mouseState = 0;             // state code of the held buttons and keys
  // Targets containing this text are addresses for the desktop's browser.
  std::string externalMarker = "http";

  LinkTable();

  // The record the group's next link goes to.
  int nextSlot(LinkGroup group) const { return counters_[static_cast<size_t>(group)]; }
  // Writes `fields` (made active) at the group's counter and moves the
  // counter on, wrapping inside the group. Returns the record written so the
  // caller can still fix a size it learns later.
  LinkRecord& add(LinkGroup group, LinkRecord fields);

  // linksoff / linkson: flags only, counters stay.
  void setActive(LinkGroup group, bool on);
  void setActive(int first, int last, bool on);
  // zeralinks of one group: deactivated and its counter back to its start.
  void clearGroup(LinkGroup group);
  // zeralinks with no group: records 0-119 and the five counters of their
  // groups; the window groups belong to their own windows.
  void clearAll();
  // The screen-model switch and the game load: everything but the
  // background group (window-frame buttons) and the window groups goes.
  void reset();

  // The highest-numbered active record of the group containing (x, y), or
  // -1: later links are drawn over earlier ones, so they win.
  int hitTest(LinkGroup group, int x, int y) const;

 private:
  std::array<int, kLinkGroupCount> counters_{};
};

}  // namespace corvant
