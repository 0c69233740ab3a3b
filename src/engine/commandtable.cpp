#include "engine/commandtable.h"

#include <cassert>
#include <cstdio>

namespace corvant {

void registerSystemCommands(CommandTable&);
void registerSavedGameCommands(CommandTable&);
void registerRegisterCommands(CommandTable&);
void registerConditionCommands(CommandTable&);
void registerFlowCommands(CommandTable&);
void registerLanguageCommands(CommandTable&);
void registerLanguageCaptureCommands(CommandTable&);
void registerClockCommands(CommandTable&);
void registerOsCommands(CommandTable&);
void registerPictureCommands(CommandTable&);
void registerLayoutCommands(CommandTable&);
void registerLinkCommands(CommandTable&);
void registerGeometryCommands(CommandTable&);
void registerTextBoxCommands(CommandTable&);
void registerDecorationCommands(CommandTable&);
void registerTextCommands(CommandTable&);
void registerSoundCommands(CommandTable&);

void CommandTable::add(std::string_view word, Handler handler) {
  ++generation_;
  auto [it, inserted] = map_.emplace(std::string(word), handler);
  if (!inserted) {
    std::fprintf(stderr, "command word registered twice: %.*s\n", static_cast<int>(word.size()), word.data());
    assert(inserted && "command word registered twice");
  }
}

Handler CommandTable::find(const std::string& word) const {
  auto it = map_.find(word);
  return it == map_.end() ? nullptr : it->second;
}

void registerAllCommands(CommandTable& table) {
  registerSystemCommands(table);
  registerSavedGameCommands(table);
  registerRegisterCommands(table);
  registerConditionCommands(table);
  registerFlowCommands(table);
  registerLanguageCommands(table);
  registerLanguageCaptureCommands(table);
  registerClockCommands(table);
  registerOsCommands(table);
  registerPictureCommands(table);
  registerLayoutCommands(table);
  registerLinkCommands(table);
  registerGeometryCommands(table);
  registerTextBoxCommands(table);
  registerDecorationCommands(table);
  registerTextCommands(table);
  registerSoundCommands(table);
}

}  // namespace corvant
