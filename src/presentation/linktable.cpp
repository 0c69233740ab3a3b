#include "presentation/linktable.h"

namespace corvant {

LinkRange linkRange(LinkGroup group) {
  switch (group) {
    case LinkGroup::Screen: return {0, 19};
    case LinkGroup::Panel: return {20, 39};
    case LinkGroup::Background: return {40, 59};
    case LinkGroup::Scrolling: return {60, 99};
    case LinkGroup::Viewer: return {100, 119};
    case LinkGroup::Window1: return {120, 139};
    case LinkGroup::Window2: return {140, 159};
    case LinkGroup::Window3: return {160, 179};
  }
  return {0, -1};
}

std::optional<LinkGroup> linkGroupByWord(std::string_view word) {
  if (word == "tel" || word == "md4") return LinkGroup::Screen;
  if (word == "fnc") return LinkGroup::Panel;
  if (word == "pan") return LinkGroup::Background;
  if (word == "md3") return LinkGroup::Scrolling;
  if (word == "vsr") return LinkGroup::Viewer;
  if (word == "jn1") return LinkGroup::Window1;
  if (word == "jn2") return LinkGroup::Window2;
  if (word == "jn3") return LinkGroup::Window3;
  return std::nullopt;
}

LinkTable::LinkTable() {
  for (int g = 0; g < kLinkGroupCount; ++g) counters_[static_cast<size_t>(g)] = linkRange(LinkGroup(g)).first;
}

LinkRecord& LinkTable::add(LinkGroup group, LinkRecord fields) {
  const LinkRange r = linkRange(group);
  int& counter = counters_[static_cast<size_t>(group)];
  LinkRecord& rec = records[static_cast<size_t>(counter)];
  rec = std::move(fields);
  rec.active = true;
  counter = counter >= r.last ? r.first : counter + 1;
  return rec;
}

void LinkTable::setActive(int first, int last, bool on) {
  for (int i = first; i <= last; ++i) records[static_cast<size_t>(i)].active = on;
}

void LinkTable::setActive(LinkGroup group, bool on) {
  const LinkRange r = linkRange(group);
  setActive(r.first, r.last, on);
}

void LinkTable::clearGroup(LinkGroup group) {
  setActive(group, false);
  counters_[static_cast<size_t>(group)] = linkRange(group).first;
}

void LinkTable::clearAll() {
  for (LinkGroup g : {LinkGroup::Screen, LinkGroup::Panel, LinkGroup::Background, LinkGroup::Scrolling,
                      LinkGroup::Viewer}) {
    clearGroup(g);
  }
}

void LinkTable::reset() {
  setActive(LinkGroup::Screen, false);
  setActive(LinkGroup::Panel, false);
  setActive(LinkGroup::Scrolling, false);
  setActive(LinkGroup::Viewer, false);
  for (LinkGroup g : {LinkGroup::Screen, LinkGroup::Panel, LinkGroup::Background, LinkGroup::Scrolling,
                      LinkGroup::Viewer}) {
    counters_[static_cast<size_t>(g)] = linkRange(g).first;
  }
}

int LinkTable::hitTest(LinkGroup group, int x, int y) const {
  const LinkRange r = linkRange(group);
  int found = -1;
  for (int i = r.first; i <= r.last; ++i) {
    const LinkRecord& rec = records[static_cast<size_t>(i)];
    if (rec.active && rec.contains(x, y)) found = i;
  }
  return found;
}

}  // namespace corvant
