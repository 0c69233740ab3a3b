#pragma once
// The whole program: the runtime and its eight windows, created in their
// fixed order (the engine form last, so nothing in the main window's creation
// can run a script).
#include <memory>

#include "runtime/host.h"
#include "runtime/runtime.h"
#include "runtime/startup.h"

namespace corvant {

namespace media {
class AudioDevice;
}

class TForm1;
class TForm10;
class TForm14;
class TForm15;
class TForm16;
class TForm17;
class TForm1F;
class TForm3;

class Program {
 public:
  Program(Host& host, const LaunchOptions& launch);
  ~Program();

  bool startedOk() const;
  // Shows the opening screen.
  void show();
  // A click on the opening picture, delivered as the player's would be.
  void clickOpeningPicture();
  // Writes the configuration and saved game (once).
  void shutdown();

  Runtime& runtime() { return rt_; }
  TForm1& mainWindow() { return *form1_; }

 private:
  std::unique_ptr<media::AudioDevice> audio_;
  Runtime rt_;
  std::unique_ptr<TForm1> form1_;
  std::unique_ptr<TForm10> form10_;
  std::unique_ptr<TForm14> form14_;
  std::unique_ptr<TForm15> form15_;
  std::unique_ptr<TForm16> form16_;
  std::unique_ptr<TForm17> form17_;
  std::unique_ptr<TForm1F> form1F_;
  std::unique_ptr<TForm3> form3_;
};

// Ends the event loop on SIGTERM and SIGINT, so shutdown saves as on any
// other way out.
void installQuitSignals(Host& host);

}  // namespace corvant
