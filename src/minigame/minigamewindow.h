#pragma once
#include "windows/forms.h"

namespace corvant {
// The mini-game window with its own interpreter and screen.
class TForm17 : public AuxiliaryWindow {
  Q_OBJECT
 public:
  TForm17();
};
}  // namespace corvant
