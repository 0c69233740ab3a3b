#pragma once
#include "windows/forms.h"

namespace corvant {
// The chat window, which is also floating window 1.
class TForm14 : public AuxiliaryWindow {
  Q_OBJECT
 public:
  TForm14();
};
}  // namespace corvant
