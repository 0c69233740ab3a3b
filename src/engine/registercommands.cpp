#include "engine/commandtable.h"

namespace corvant {

void registerRegisterCommands(CommandTable&) {}

}  // namespace corvant
