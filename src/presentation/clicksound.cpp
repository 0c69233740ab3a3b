#include "presentation/clicksound.h"

#include "runtime/files.h"
#include "runtime/runtime.h"
#include "text/cp1252.h"

namespace corvant {

void playClickSound(Runtime& rt, const std::string& file) {
  if (file.empty() || rt.state.config.isOn(82)) return;
  const QString path = files::resolve(text::toQString(file));
  (void)path;
}

}  // namespace corvant
