#pragma once
// The configuration list: one text per line of the game's ".ini", addressed by
// index. Values are texts; "*" marks a switch that is on.
#include <string>
#include <vector>

namespace corvant {

namespace cfg {
// Indexes that more than one subsystem reads.
constexpr int kSaveName = 4, kRegisterCount = 5, kIniScp = 6, kScript = 7, kRetScp = 8, kObjeto = 9,
              kPosic = 10, kWidth = 11, kHeight = 12, kOpeningPicture = 13, kWindowPicture = 14, kBackgroundColour = 18, kVocabularyScript = 17,
              kScreenModel = 26, kLanguage = 79, kScrambled = 91, kCarriedValue = 95, kDownloadMissing = 103,
              kDownloadAll = 104, kDownloadByDate = 105;
constexpr int kPaddedSize = 110;
constexpr int kMinimumWritten = 101;
}  // namespace cfg

class ConfigList {
 public:
  std::vector<std::string> lines;

  // Empty text for an index beyond the list.
  const std::string& at(int index) const;
  // Grows the list when needed.
  void set(int index, std::string value);
  bool isOn(int index) const { return at(index) == "*"; }
  void padTo(int count);
  int size() const { return static_cast<int>(lines.size()); }
};

}  // namespace corvant
