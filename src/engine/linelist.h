#pragma once
// The current script's lines. Replacing them is the only way to change them,
// which lets the engine remember what it worked out about each line (its
// split, where labels are) until the next replacement, and behave exactly as
// if it worked everything out afresh each time.
#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/commandtable.h"

namespace corvant {

enum class LineKind { Empty, Label, Comment, TextBlock, Command };

// A line as classified and split, before any register is read.
struct ParsedLine {
  LineKind kind = LineKind::Empty;
  std::string text;  // see ClassifiedLine
  std::string word;
  std::array<std::string, 9> params;
  // The command table's handler for `word`, remembered by the table.
  mutable HandlerCache handler;
};

class LineList {
 public:
  LineList() = default;
  LineList(std::vector<std::string> lines) : lines_(std::move(lines)) {}  // NOLINT: lists convert freely
  LineList(std::initializer_list<std::string> lines) : lines_(lines) {}
  LineList(const LineList& other) : lines_(other.lines_) {}
  LineList& operator=(const LineList& other) { return *this = other.lines_; }
  LineList& operator=(std::vector<std::string> lines);

  const std::vector<std::string>& all() const { return lines_; }
  operator const std::vector<std::string>&() const { return lines_; }  // NOLINT
  size_t size() const { return lines_.size(); }
  bool empty() const { return lines_.empty(); }
  const std::string& operator[](size_t i) const { return lines_[i]; }
  const std::string& front() const { return lines_.front(); }
  auto begin() const { return lines_.begin(); }
  auto end() const { return lines_.end(); }
  bool operator==(const std::vector<std::string>& other) const { return lines_ == other; }

  // The first line whose trimmed text is ":" + name.
  std::optional<int> findLabel(std::string_view name) const;
  // Line i classified and split (i must be a valid index).
  const ParsedLine& parsed(size_t i) const;

 private:
  std::vector<std::string> lines_;
  mutable bool labelsIndexed_ = false;
  struct Hash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
  };
  // Label names (the trimmed line after its ":") to their first line.
  mutable std::unordered_map<std::string, int, Hash, std::equal_to<>> labels_;
  mutable std::vector<std::unique_ptr<ParsedLine>> parsed_;
};

}  // namespace corvant
