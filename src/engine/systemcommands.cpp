// Commands that talk to the program around the game.
#include "engine/commandtable.h"
#include "engine/params.h"
#include "runtime/runtime.h"
#include "text/numbers.h"

namespace corvant {
namespace {

// Ends the program after P1 half-seconds (10 when empty or not a number),
// processing events while it waits. Lines after it may still run before the
// event loop ends and shutdown saves.
void encerrar(Runtime& rt) {
  rt.pumpEvents();
  const int halfSeconds = text::parseIntOr(valueParam(rt, 1), 10);
  for (int i = 0; i < halfSeconds && !rt.host.quitting(); ++i) {
    rt.host.sleepMs(500);
    rt.pumpEvents();
  }
  rt.host.requestQuit(0);
}

const CommandEntry kCommands[] = {
    {"encerrar", encerrar},
    {"terminate", encerrar},
};

}  // namespace

void registerSystemCommands(CommandTable& table) { table.add(kCommands); }

}  // namespace corvant
