#include "runtime/host.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QMessageBox>
#include <QSysInfo>
#include <QThread>
#include <QUrl>

#include <cstdio>

#include "text/cp1252.h"

namespace corvant {

void QtHost::pumpEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void QtHost::sleepMs(int ms) {
  if (ms > 0) QThread::msleep(static_cast<unsigned long>(ms));
}

void QtHost::requestQuit(int exitCode) {
  quitting_ = true;
  QCoreApplication::exit(exitCode);
}

void QtHost::showError(const std::string& message) {
  const QString text = text::toQString(message);
  std::fprintf(stderr, "corvant: %s\n", text.toLocal8Bit().constData());
  if (!quietErrors && qobject_cast<QApplication*>(QCoreApplication::instance()))
    QMessageBox::critical(nullptr, QCoreApplication::applicationName(), text);
}

std::string QtHost::productName() const { return text::fromQString(QSysInfo::prettyProductName()); }

void QtHost::openExternal(const std::string& target) {
  // A relative name is a document in the working directory, not a web address.
  QDesktopServices::openUrl(QUrl::fromUserInput(text::toQString(target), QDir::currentPath(), QUrl::AssumeLocalFile));
}

}  // namespace corvant
