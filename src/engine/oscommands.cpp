#include "engine/commandtable.h"

namespace corvant {

void registerOsCommands(CommandTable&) {}

}  // namespace corvant
