#include "network/chatwindow.h"

namespace corvant {
TForm14::TForm14() : AuxiliaryWindow(QStringLiteral("TForm14"), Qt::Tool | Qt::FramelessWindowHint) {}
}  // namespace corvant
