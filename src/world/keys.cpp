#include "world/keys.h"

#include <Qt>

namespace corvant {

int virtualKeyCode(int k) {
  if (k >= Qt::Key_A && k <= Qt::Key_Z) return k;  // same codes, 65..90
  if (k >= Qt::Key_0 && k <= Qt::Key_9) return k;  // 48..57
  if (k >= Qt::Key_F1 && k <= Qt::Key_F12) return 112 + (k - Qt::Key_F1);
  switch (k) {
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab: return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: return 18;
    case Qt::Key_CapsLock: return 20;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Space: return 32;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    default: return 0;
  }
}

std::string keyName(int vk) {
  switch (vk) {
    case 0: return {};
    case 8: return "Back";
    case 9: return "Tab";
    case 13: return "Enter";
    case 16: return "Shift";
    case 17: return "Ctrl";
    case 18: return "Alt";
    case 20: return "Caps";
    case 27: return "Esc";
    case 32: return "Space";
    case 33: return "PgUp";
    case 34: return "PgDw";
    case 35: return "End";
    case 36: return "Home";
    case 37: return "Left";
    case 38: return "Up";
    case 39: return "Right";
    case 40: return "Down";
    case 45: return "Ins";
    case 46: return "Del";
    default: break;
  }
  if (vk >= 112 && vk <= 123) return "F" + std::to_string(vk - 111);
  return std::string(1, static_cast<char>(vk & 0xFF));
}

}  // namespace corvant
