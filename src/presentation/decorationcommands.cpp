// Subtitles, the overlay, shapes, scrolling and mirroring of the screen.
#include "engine/commandtable.h"

namespace corvant {

void registerDecorationCommands(CommandTable&) {}

}  // namespace corvant
