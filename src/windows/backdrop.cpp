#include "windows/backdrop.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>

#include "presentation/layout.h"
#include "presentation/mainwindow.h"
#include "presentation/pictures.h"
#include "runtime/runtime.h"
#include "text/strings.h"

namespace corvant {
namespace {

QSize primaryScreenSize() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->geometry().size() : QSize(1024, 768);
}

// The second monitor is assumed to be 1366 x 768, to the right of the first.
constexpr int kSecondWidth = 1366, kSecondHeight = 768;

}  // namespace

TForm1F::TForm1F(Runtime& rt) : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), rt_(rt) {
  setObjectName(QStringLiteral("TForm1F"));
  Imag = new PictureWidget(QStringLiteral("Imag"), this);
  Imag->setStretch(true);
  Imag->installEventFilter(this);
  Image1 = new PictureWidget(QStringLiteral("Image1"), this);
  Image1->setGeometry(0, 0, 20, 20);
  Image1->installEventFilter(this);
  rt_.backdrop = this;
  hide();

  const ConfigList& c = rt_.state.config;
  if (!c.at(90).empty()) {
    setContent(c.at(90));
    showBehindMainWindow();
  }
  if (rt_.state.paths.commandArg == "xz") placeOnSecondMonitor();
}

TForm1F::~TForm1F() {
  if (rt_.backdrop == this) rt_.backdrop = nullptr;
}

void TForm1F::setContent(const std::string& pictureOrColour) {
  if (namesPicture(pictureOrColour)) {
    loadPicture(rt_, pictureOrColour, Surface::BufShp);
    if (rt_.form1) Imag->setPicture(rt_.form1->BufShp->picture().copy());
    Imag->show();
    return;
  }
  QPalette p = palette();
  p.setColor(QPalette::Window, colourOr(pictureOrColour, Qt::black));
  setPalette(p);
  setAutoFillBackground(true);
  Imag->hide();
}

void TForm1F::showBehindMainWindow() {
  // Covers the screen it is on; without a window manager "maximised" would
  // mean nothing.
  if (!isVisible()) {
    resize(primaryScreenSize());
    show();
  }
  raise();
  if (rt_.form1) rt_.form1->raise();
}

void TForm1F::moveMainWindow(int x, int y) {
  if (rt_.form1) rt_.form1->move(x, y);
}

void TForm1F::placeOnSecondMonitor() {
  const QSize screen = primaryScreenSize();
  move(screen.width(), 0);
  rt_.pumpEvents();
  if (!rt_.form1) return;
  moveMainWindow(screen.width() + kSecondWidth / 2 - rt_.form1->width() / 2, kSecondHeight / 2 - rt_.form1->height() / 2);
  rt_.form1->raise();
}

void TForm1F::togglePlacement() {
  const QSize screen = primaryScreenSize();
  const QSize main = rt_.form1 ? rt_.form1->size() : QSize();
  if (x() != 0) {
    move(0, 0);
    moveMainWindow((screen.width() - main.width()) / 2, (screen.height() - main.height()) / 2);
  } else {
    move(screen.width(), 0);
    moveMainWindow(screen.width() + (kSecondWidth - main.width()) / 2, (kSecondHeight - main.height()) / 2);
  }
  showBehindMainWindow();
}

bool TForm1F::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonPress) {
    if (watched == Image1) togglePlacement();
    else showBehindMainWindow();
  }
  return QWidget::eventFilter(watched, event);
}

// A key or a press on the backdrop brings the game back in front.
void TForm1F::keyPressEvent(QKeyEvent*) { showBehindMainWindow(); }
void TForm1F::mousePressEvent(QMouseEvent*) { showBehindMainWindow(); }

void TForm1F::resizeEvent(QResizeEvent*) { Imag->setGeometry(rect()); }

}  // namespace corvant
