#include "engine/linelist.h"

#include "engine/linesyntax.h"
#include "text/strings.h"

namespace corvant {

LineList& LineList::operator=(std::vector<std::string> lines) {
  lines_ = std::move(lines);
  labelsIndexed_ = false;
  labels_.clear();
  parsed_.clear();
  return *this;
}

std::optional<int> LineList::findLabel(std::string_view name) const {
  if (!labelsIndexed_) {
    for (size_t i = 0; i < lines_.size(); ++i) {
      std::string t = text::trim(lines_[i]);
      if (!t.empty() && t[0] == ':') labels_.emplace(t.substr(1), static_cast<int>(i));  // first one wins
    }
    labelsIndexed_ = true;
  }
  auto it = labels_.find(name);
  if (it == labels_.end()) return std::nullopt;
  return it->second;
}

const ParsedLine& LineList::parsed(size_t i) const {
  if (parsed_.size() != lines_.size()) parsed_.resize(lines_.size());
  auto& slot = parsed_[i];
  if (!slot) {
    slot = std::make_unique<ParsedLine>();
    ClassifiedLine c = classifyLine(lines_[i]);
    slot->kind = c.kind;
    if (c.kind == LineKind::Command) {
      CommandSplit split = splitRaw(c.text);
      slot->word = std::move(split.word);
      slot->params = std::move(split.params);
    }
    slot->text = std::move(c.text);
  }
  return *slot;
}

}  // namespace corvant
