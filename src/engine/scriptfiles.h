#pragma once
// Script files (plain ".scp" and scrambled ".scx"), labels and the command
// vocabulary.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/gamestate.h"

namespace corvant {

// Turns the lines of a ".scx" file back into script lines. The key position
// runs on across lines. Fails the run when a line is not made of
// three-digit groups.
std::vector<std::string> unscramble(const std::vector<std::string>& scrambled);
// The inverse, for authors' tools: each character becomes a three-digit group.
std::vector<std::string> scramble(const std::vector<std::string>& plain);

enum class ScriptSource { PlainOnly, FreshRun };

// Reads the script `name` into `lines`. FreshRun: ".scx" unscrambled when
// configuration index 91 is "x", else ".scp"; returns false, leaving `lines`
// alone, when neither file exists. PlainOnly: the ".scp" file, which must
// exist. A file that exists but cannot be read fails the run.
bool readScript(const GameState& state, std::string_view name, ScriptSource source, LineList& lines);
// The lines of a script by the fresh-run rule, without touching the line list
// (the command vocabulary is read this way).
std::optional<std::vector<std::string>> loadScriptLines(const GameState& state, std::string_view name);
bool scriptExists(const GameState& state, std::string_view name);
// Only the plain ".scp" file: what `script`, `gosub`, timers and the click
// script need.
bool plainScriptExists(const GameState& state, std::string_view name);

std::optional<int> findLabel(const std::vector<std::string>& lines, std::string_view name);
std::string listLabels(const std::vector<std::string>& lines);
// For the trace of a label line ":" + name: where the name is used.
std::string labelReferences(const std::vector<std::string>& lines, std::string_view labelLine);
// The vocabulary's target for `word` ("word|target" lines).
std::optional<std::string> vocabularyLookup(const std::vector<std::string>& lines, std::string_view word);

}  // namespace corvant
