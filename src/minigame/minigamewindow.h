#pragma once
#include "windows/forms.h"

namespace corvant {
// The mini-game window with its own interpreter and screen.
class TForm17 : public AuxiliaryWindow {
  Q_OBJECT
 public:
  TForm17();
  // The mini-game always stays with the game window while it shows.
  bool followsMainWindow() const override { return isVisible(); }
};
}  // namespace corvant
