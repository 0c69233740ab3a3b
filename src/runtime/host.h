#pragma once
// What the engine asks of the program around it: processing pending events,
// waiting, ending the application, the error box. The application supplies
// the Qt version; tests supply their own.
#include <string>

namespace corvant {

class Host {
 public:
  virtual ~Host() = default;
  // Delivers pending window events (clicks, keys, timer ticks); any of them
  // may start a nested run.
  virtual void pumpEvents() = 0;
  virtual void sleepMs(int ms) = 0;
  // Asks the event loop to end; shutdown follows when control returns to it.
  virtual void requestQuit(int exitCode) = 0;
  // True once the program has been asked to end: long waits stop early so
  // that shutdown is not held up.
  virtual bool quitting() const = 0;
  // The standard error box. `message` is Windows-1252 text.
  virtual void showError(const std::string& message) = 0;
  // Opens a document or address with the desktop's default handler.
  virtual void openExternal(const std::string& target) = 0;
  // The operating system's product name, e.g. "Debian GNU/Linux 12 (bookworm)".
  virtual std::string productName() const = 0;
};

// The real thing: QCoreApplication, QThread, QMessageBox, QDesktopServices.
class QtHost : public Host {
 public:
  void pumpEvents() override;
  void sleepMs(int ms) override;
  void requestQuit(int exitCode) override;
  bool quitting() const override { return quitting_; }
  void showError(const std::string& message) override;
  void openExternal(const std::string& target) override;
  std::string productName() const override;
  // Tests and batch runs set this to keep message boxes off the screen.
  bool quietErrors = false;

 private:
  bool quitting_ = false;
};

}  // namespace corvant
