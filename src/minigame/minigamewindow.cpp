#include "minigame/minigamewindow.h"

namespace corvant {
TForm17::TForm17() : AuxiliaryWindow(QStringLiteral("TForm17"), Qt::Window | Qt::FramelessWindowHint) {}
}  // namespace corvant
