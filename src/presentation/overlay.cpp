#include "presentation/overlay.h"

namespace corvant {

void stampOverlayForPresent(Runtime&) {}
void clearSubtitles(Runtime&) {}

}  // namespace corvant
