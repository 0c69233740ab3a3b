#pragma once
// How a script line is read: classification, the command split, the marker
// characters, link addresses and colour strings. Pure functions over text.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/linelist.h"
#include "runtime/gamestate.h"

namespace corvant {


struct ClassifiedLine {
  LineKind kind;
  // Label and comment: the trimmed line. Text block: the line from its
  // opening apostrophe. Command: the command text.
  std::string text;
};

ClassifiedLine classifyLine(std::string_view line);

struct CommandSplit {
  std::string word;
  std::array<std::string, 9> params;
};

// Cuts a command text into its word and P1..P9, reading "#" register
// references from `registers` (numbers 0..registerCount).
CommandSplit splitCommand(std::string_view commandText, const std::vector<std::string>& registers, int registerCount);
// The two halves of that: the cut alone, and the register references of a
// parameter (read afresh every time the line runs).
CommandSplit splitRaw(std::string_view commandText);
void readRegisterReference(std::string& param, const std::string& word, const std::vector<std::string>& registers,
                           int registerCount);

// The register list entry n, failing the run when the list has no such entry.
const std::string& registerAt(const std::vector<std::string>& registers, int n);

constexpr char kMarkerBreak = '\xA7';  // "§"
constexpr char kMarkerBlank = '~';
constexpr char kMarkerComma = '^';

std::string substituteMarker(char marker, std::string_view text, std::string_view model);
// "§", then "~", then "^", as text blocks apply them.
std::string substituteAllMarkers(std::string_view text, std::string_view model);

// Returns the script or label part of a link address and stores the
// "&Prm=", "&Prx=", "&Pry=", "&Ptx=", "&Pty=" parts that are present.
std::string readLinkAddress(std::string_view address, LinkParams& link);

// A colour string "RRGGBB" as the platform colour value (blue in the high
// byte, red in the low byte). Fails the run when it is not hexadecimal.
uint32_t colourValue(std::string_view colourString);
// The same colour as 0xAARRGGBB for Qt.
uint32_t colourToRgb(uint32_t value);

}  // namespace corvant
