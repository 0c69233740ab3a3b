#pragma once
// Keys as games know them: the virtual-key codes of the system the kit was
// made for, and their names.
#include <string>

namespace corvant {

// The virtual-key code of a Qt key (Qt::Key); 0 for keys games cannot name.
int virtualKeyCode(int qtKey);
// "Left", "F1", ...; a code without a name gives the character of its low
// byte (letters and digits give themselves); 0 gives "".
std::string keyName(int virtualKey);

}  // namespace corvant
