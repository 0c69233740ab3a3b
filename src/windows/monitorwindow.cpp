#include "windows/monitorwindow.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include "engine/driver.h"
#include "engine/guard.h"
#include "presentation/clicksound.h"
#include "presentation/linkinput.h"
#include "presentation/linktable.h"
#include "presentation/mainwindow.h"
#include "presentation/pictures.h"
#include "runtime/files.h"
#include "runtime/runtime.h"
#include "text/strings.h"
#include "world/keys.h"

namespace corvant {
namespace {

QWidget* namedWidget(const char* name, QWidget* parent) {
  auto* w = new QWidget(parent);
  w->setObjectName(QString::fromLatin1(name));
  w->setAutoFillBackground(true);
  return w;
}

void setBackground(QWidget* w, QColor colour) {
  QPalette p = w->palette();
  p.setColor(QPalette::Window, colour);
  w->setPalette(p);
  w->setAutoFillBackground(true);
}

}  // namespace

TForm10::TForm10(Runtime& rt) : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), rt_(rt) {
  setObjectName(QStringLiteral("TForm10"));
  setWindowTitle(QStringLiteral("Monitor"));
  resize(729, 468);
  setBackground(this, Qt::lightGray);
  ShpTop = namedWidget("ShpTop", this);
  ShpBot = namedWidget("ShpBot", this);
  ShpTop->resize(65, 65);
  ShpBot->resize(65, 65);
  PanMon = namedWidget("PanMon", this);
  PanMon->setGeometry(0, 0, 656, 451);
  setBackground(PanMon, Qt::black);
  Monitor = new PictureWidget(QStringLiteral("Monitor"), PanMon);
  Monitor->setGeometry(0, 0, 640, 420);
  Monitor->setMouseTracking(true);
  Monitor->installEventFilter(this);
  Sombra = new QLabel(PanMon);
  Sombra->setObjectName(QStringLiteral("Sombra"));
  Sombra->hide();
  Legda = new QLabel(PanMon);
  Legda->setObjectName(QStringLiteral("Legda"));
  Legda->hide();
  Inpt4 = new QLineEdit(this);
  Inpt4->setObjectName(QStringLiteral("Inpt4"));
  Inpt4->setGeometry(50, 5, 185, 26);
  Inpt4->hide();
  monitorBuffer = QImage(640, 420, QImage::Format_RGB32);
  monitorBuffer.fill(Qt::black);
  setCursor(Qt::ArrowCursor);
  rt_.monitor = this;
  hide();
}

TForm10::~TForm10() {
  if (rt_.monitor == this) rt_.monitor = nullptr;
}

void TForm10::paintBars() {
  for (QWidget* bar : {ShpTop, ShpBot}) {
    setBackground(bar, letterbox);
    bar->update();
  }
}

bool TForm10::eventFilter(QObject* watched, QEvent* event) {
  if (watched != Monitor) return QWidget::eventFilter(watched, event);
  const QEvent::Type type = event->type();
  if (type != QEvent::MouseMove && type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease)
    return QWidget::eventFilter(watched, event);
  const QPoint pos = static_cast<QMouseEvent*>(event)->position().toPoint();
  if (type == QEvent::MouseMove) hover(pos);
  else if (type == QEvent::MouseButtonPress) press(pos);
  else release(pos);
  return QWidget::eventFilter(watched, event);
}

void TForm10::hover(QPoint pos) {
  LinkTable& links = rt_.state.links;
  links.hovered = links.hitTest(LinkGroup::Screen, pos.x(), pos.y());
  Monitor->setCursor(links.hovered >= 0 ? linkCursorShape(links.records[static_cast<size_t>(links.hovered)].cursor)
                                        : Qt::ArrowCursor);
}

void TForm10::press(QPoint pos) {
  GameState& s = rt_.state;
  hover(pos);
  const int hovered = s.links.hovered;
  runGuarded(rt_, [&] {
    if (hovered < 0) {
      if (!s.clickScript.empty()) freshRun(rt_, s.clickScript);
      return;
    }
    const LinkRecord rec = s.links.records[static_cast<size_t>(hovered)];
    // On the monitor a link without a pressed picture gives no feedback at
    // all, not even its sound.
    if (rec.pressedPicture.empty()) return;
    playClickSound(rt_, rec.pressSound);
    drawOverLink(rec.pressedPicture, rec);
    rt_.pumpEvents();
  });
}

void TForm10::release(QPoint pos) {
  GameState& s = rt_.state;
  if (s.links.hovered < 0) return;
  const LinkRecord rec = s.links.records[static_cast<size_t>(s.links.hovered)];
  runGuarded(rt_, [&] {
    if (!rec.pressedPicture.empty()) {
      drawOverLink(rec.picture, rec);
      rt_.pumpEvents();
    }
    // Scripts think in logical pixels, whatever the monitor's size.
    const double scale = s.scale > 0 ? s.scale : 1.0;
    s.links.insideX = static_cast<int>((pos.x() - rec.x) / scale);
    s.links.insideY = static_cast<int>((pos.y() - rec.y) / scale);
    if (rec.target.empty()) return;
    const std::string& marker = s.links.externalMarker;
    if (!marker.empty() && text::contains(rec.target, marker)) return rt_.host.openExternal(rec.target);
    rt_.pumpEvents();
    freshRun(rt_, rec.target);
  });
}

void TForm10::drawOverLink(const std::string& name, const LinkRecord& rec) {
  TForm1* w = rt_.form1;
  if (!w || name.empty() || !files::exists(files::join(rt_.state.paths.graphicsFolder, name))) return;
  loadPicture(rt_, name, Surface::BufShp);
  const QImage& picture = w->BufShp->picture();
  if (picture.isNull()) return;
  const QSize size(rec.width > 0 ? rec.width : picture.width(), rec.height > 0 ? rec.height : picture.height());
  drawTransparent(Monitor->picture(), picture, QRect(QPoint(rec.x, rec.y), size));
  Monitor->update();
}

// The window sees keys before its controls: Enter runs the click script, and
// every key is recorded as the held key scripts read.
void TForm10::keyPressEvent(QKeyEvent* e) {
  if (!e->isAutoRepeat() || rt_.state.heldKey == 0) rt_.state.heldKey = virtualKeyCode(e->key());
  if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && !rt_.state.clickScript.empty()) {
    runGuarded(rt_, [&] { freshRun(rt_, rt_.state.clickScript); });
    return;
  }
  QWidget::keyPressEvent(e);
}

void TForm10::keyReleaseEvent(QKeyEvent* e) {
  if (!e->isAutoRepeat()) rt_.state.heldKey = 0;
  QWidget::keyReleaseEvent(e);
}

}  // namespace corvant
