#include "engine/commandtable.h"

namespace corvant {

void registerConditionCommands(CommandTable&) {}

}  // namespace corvant
