#pragma once
// A host for tests: records errors and quit requests, never sleeps, and can
// deliver a scripted "event" while the engine pumps events.
#include <functional>
#include <string>
#include <vector>

#include "runtime/host.h"

namespace corvant::test {

class TestHost : public Host {
 public:
  void pumpEvents() override {
    ++pumps;
    if (onPump) {
      auto f = std::move(onPump);
      onPump = nullptr;
      f();
    }
  }
  void sleepMs(int ms) override { sleptMs += ms; }
  void requestQuit(int code) override {
    quitRequested = true;
    exitCode = code;
  }
  bool quitting() const override { return quitRequested; }
  void showError(const std::string& message) override { errors.push_back(message); }
  void openExternal(const std::string& target) override { opened.push_back(target); }
  std::string productName() const override { return product; }

  int pumps = 0;
  long sleptMs = 0;
  bool quitRequested = false;
  int exitCode = -1;
  std::vector<std::string> errors;
  std::vector<std::string> opened;
  std::string product = "Test OS";
  // Runs once, at the next pump: stands in for a click or a tick that arrives
  // while a handler waits.
  std::function<void()> onPump;
};

}  // namespace corvant::test
