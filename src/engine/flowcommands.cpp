#include "engine/commandtable.h"

namespace corvant {

void registerFlowCommands(CommandTable&) {}

}  // namespace corvant
