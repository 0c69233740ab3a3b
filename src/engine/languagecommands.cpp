#include "engine/commandtable.h"

namespace corvant {

void registerLanguageCommands(CommandTable&) {}

}  // namespace corvant
