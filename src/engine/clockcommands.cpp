#include "engine/commandtable.h"

namespace corvant {

void registerClockCommands(CommandTable&) {}

}  // namespace corvant
