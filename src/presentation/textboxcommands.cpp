// Text boxes on pictures: print= and the text cursor and link settings.
#include "engine/commandtable.h"

namespace corvant {

void registerTextBoxCommands(CommandTable&) {}

}  // namespace corvant
