#pragma once
// A failure that abandons the whole run. The guarded entry point of the event
// that started the run shows it in the error box; nothing else catches it.
#include <stdexcept>
#include <string>

namespace corvant {

class ScriptError : public std::runtime_error {
 public:
  explicit ScriptError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace corvant
