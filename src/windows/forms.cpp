#include "windows/forms.h"

#include <QLocale>

#include "runtime/runtime.h"

namespace corvant {

AuxiliaryWindow::AuxiliaryWindow(const QString& name, Qt::WindowFlags flags) : QWidget(nullptr, flags) {
  setObjectName(name);
  hide();
}

TForm15::TForm15() : AuxiliaryWindow(QStringLiteral("TForm15"), Qt::Tool | Qt::FramelessWindowHint) {}
TForm16::TForm16() : AuxiliaryWindow(QStringLiteral("TForm16"), Qt::Tool | Qt::FramelessWindowHint) {}

TForm3::TForm3(Runtime& rt) : QWidget(nullptr), rt_(rt) {
  setObjectName(QStringLiteral("TForm3"));
  // Every number the engine reads or writes uses "." as decimal separator.
  QLocale::setDefault(QLocale::c());
  rt_.interp = Interpreter{};
  resetGameClock(rt_.clock);
  hide();
}

}  // namespace corvant
