#include "engine/guard.h"

#include <exception>

#include "engine/scripterror.h"
#include "runtime/runtime.h"
#include "text/strings.h"

namespace corvant {
namespace {

std::string where(const Runtime& rt) {
  const GameState& s = rt.state;
  return "Script: " + s.script + ".scp, line " + std::to_string(s.lineIndex) + "\n" + text::trim(rt.interp.sourceLine);
}

}  // namespace

bool runGuarded(Runtime& rt, const std::function<void()>& work) {
  std::string message;
  try {
    work();
    return true;
  } catch (const std::exception& e) {
    message = e.what();
  }
  // A run abandoned by a failure is over: label links must start runs again
  // instead of only moving the line index of a run that no longer exists.
  rt.state.runInProgress = false;
  rt.trace->write(rt.interp.trace + " <--- " + message);
  rt.host.showError(message + "\n\n" + where(rt));
  return false;
}

}  // namespace corvant
