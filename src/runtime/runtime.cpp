#include "runtime/runtime.h"

namespace corvant {

Runtime::Runtime(Host& h) : host(h), hooks(&noHooks_), trace(std::make_unique<TraceSink>()) {
  registerAllCommands(commands);
}

}  // namespace corvant
