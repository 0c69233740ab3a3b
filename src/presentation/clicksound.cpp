#include "presentation/clicksound.h"

#include "media/audio.h"
#include "runtime/files.h"
#include "runtime/runtime.h"
#include "text/cp1252.h"

namespace corvant {

void playClickSound(Runtime& rt, const std::string& file) {
  if (file.empty() || rt.state.config.isOn(82) || !rt.audio) return;
  rt.audio->playWave(files::resolve(text::toQString(file)));
}

}  // namespace corvant
