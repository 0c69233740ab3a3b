#pragma once
// The auxiliary windows, created hidden at start-up in a fixed order. Each is
// a real window class that its own subsystem fills.
#include <QWidget>

namespace corvant {

struct Runtime;

// Base of the borderless auxiliary windows.
class AuxiliaryWindow : public QWidget {
  Q_OBJECT
 public:
  AuxiliaryWindow(const QString& name, Qt::WindowFlags flags);

  // Set by the window's own commands: the window travels with the main
  // window when that is dragged.
  bool docked = false;
  // Whether a drag of the main window moves this window too.
  virtual bool followsMainWindow() const { return isVisible() && docked; }
};

// Floating picture windows 2 and 3.
class TForm15 : public AuxiliaryWindow {
  Q_OBJECT
 public:
  TForm15();
};
class TForm16 : public AuxiliaryWindow {
  Q_OBJECT
 public:
  TForm16();
};

// The engine form: created last; its creation fixes the number format and
// starts what the engine needs before the first script runs.
class TForm3 : public QWidget {
  Q_OBJECT
 public:
  explicit TForm3(Runtime& rt);

 private:
  Runtime& rt_;
};

}  // namespace corvant
