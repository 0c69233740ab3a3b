// Sound commands: single waves and the six sound slots.
#include "engine/commandtable.h"

namespace corvant {

void registerSoundCommands(CommandTable&) {}

}  // namespace corvant
