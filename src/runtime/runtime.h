#pragma once
// Ties the game state, the interpreter, the command table and the program's
// windows together. Command handlers receive it.
#include <chrono>
#include <memory>

#include "engine/commandtable.h"
#include "engine/gameclock.h"
#include "engine/interpreter.h"
#include "engine/runhooks.h"
#include "engine/trace.h"
#include "runtime/gamestate.h"
#include "runtime/host.h"

namespace corvant {

namespace media {
class AudioDevice;
}

class TForm1;
class TForm10;
class TForm1F;

struct Runtime {
  explicit Runtime(Host& host);

  GameState state;
  Interpreter interp;
  GameClock clock;
  CommandTable commands;
  Host& host;
  // The presentation side of a run; a do-nothing set until windows attach.
  RunHooks* hooks;
  // The main window, once it exists; null in tests that run without one.
  TForm1* form1 = nullptr;
  // The monitor of model "4" and the full-screen backdrop, once they exist.
  TForm10* monitor = nullptr;
  TForm1F* backdrop = nullptr;
  // Sound output, owned by the program; null where nothing may sound.
  media::AudioDevice* audio = nullptr;
  std::unique_ptr<TraceSink> trace;

  void pumpEvents() {
    host.pumpEvents();
    lastPump_ = std::chrono::steady_clock::now();
  }
  // For steps that run many times in a row (loading each picture of a
  // screen): keeps the window answering without repainting it for every
  // step, which would cost more than the steps themselves.
  void pumpEventsNowAndThen() {
    if (std::chrono::steady_clock::now() - lastPump_ >= kPumpInterval) pumpEvents();
  }
  // Back to the do-nothing hooks, when the windows go away.
  void detachHooks() { hooks = &noHooks_; }

 private:
  static constexpr std::chrono::milliseconds kPumpInterval{40};
  RunHooks noHooks_;
  std::chrono::steady_clock::time_point lastPump_{};
};

}  // namespace corvant
