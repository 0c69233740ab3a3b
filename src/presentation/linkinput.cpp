#include "presentation/linkinput.h"

#include <QMouseEvent>

#include "engine/driver.h"
#include "engine/guard.h"
#include "presentation/clicksound.h"
#include "presentation/layout.h"
#include "presentation/mainwindow.h"
#include "presentation/pictures.h"
#include "runtime/files.h"
#include "runtime/runtime.h"
#include "text/strings.h"

namespace corvant {

int mouseStateCode(Qt::MouseButtons held, Qt::KeyboardModifiers modifiers, bool doubleClick) {
  const bool left = held & Qt::LeftButton, right = held & Qt::RightButton, middle = held & Qt::MiddleButton;
  const bool ctrl = modifiers & Qt::ControlModifier, alt = modifiers & Qt::AltModifier,
             shift = modifiers & Qt::ShiftModifier;
  const struct {
    bool applies;
    int code;
  } rules[] = {
      {left, 1},
      {right, 2},
      {middle, 3},
      {doubleClick, 4},
      {left && ctrl, 5},
      {left && alt, 6},
      {left && shift, 7},
      {right && ctrl, 8},
      {right && alt, 9},
      {right && shift, 10},
      {middle && ctrl, 11},
      {middle && alt, 12},
      {middle && shift, 13},
      {doubleClick && ctrl, 14},
      {doubleClick && alt, 15},
      {doubleClick && shift, 16},
  };
  int code = 0;
  for (const auto& r : rules) {
    if (r.applies) code = r.code;
  }
  return code;
}

Qt::CursorShape linkCursorShape(int type) {
  switch (type) {
    case 1: return Qt::DragMoveCursor;
    case 2: return Qt::PointingHandCursor;
    case 3: return Qt::SplitHCursor;
    case 4: return Qt::DragCopyCursor;
    case 5: return Qt::ForbiddenCursor;
    case 6: return Qt::SplitVCursor;
    case 7: return Qt::BusyCursor;
    case 8: return Qt::BlankCursor;
    case 9: return Qt::ForbiddenCursor;
    case 10: return Qt::WaitCursor;
    case 11: return Qt::CrossCursor;
    default: return Qt::ArrowCursor;
  }
}

void toggleMapPage(Runtime& rt) {
  TForm1* w = rt.form1;
  if (!w) return;
  if (w->Abok1->currentIndex() != TForm1::PageMapa) {
    w->mapReturn = {w->Input->isVisibleTo(w), w->Abok1->height()};
    w->Input->hide();
    w->Abok1->setCurrentIndex(TForm1::PageMapa);
    w->MapJog->update();
    return;
  }
  w->Abok1->setCurrentIndex(viewportPageFor(rt.state.modelo));
  w->Abok1->resize(w->Abok1->width(), w->mapReturn.viewportHeight);
  w->Input->setVisible(w->mapReturn.inputVisible);
}

void activateLinkTarget(Runtime& rt, const std::string& target, TargetRules rules) {
  const bool full = rules == TargetRules::Full;
  if (full && target == "picFmap") return toggleMapPage(rt);
  if (full && !target.empty() && target[0] == ':') return runFromLabel(rt, target);
  const std::string& marker = rt.state.links.externalMarker;
  if (!marker.empty() && text::contains(target, marker)) return rt.host.openExternal(target);
  if (!full && target.empty()) return;
  rt.pumpEvents();
  freshRun(rt, target);
}

LinkInput::LinkInput(Runtime& rt, TForm1& window) : QObject(&window), rt_(rt), window_(window) {
  for (PictureWidget* s : {window.Tela, window.TelCmd, window.Imp, window.Tela3}) {
    if (!s) continue;
    // The cursor follows links even while no button is held.
    s->setMouseTracking(true);
    s->installEventFilter(this);
  }
  for (QWidget* w : std::initializer_list<QWidget*>{window.Legda, window.Sombra, window.Abok1, window.Input}) {
    if (w) w->installEventFilter(this);
  }
}

// The subtitle answers like the screen's background; the viewport and the
// command line only record the buttons for scripts that ask.
bool LinkInput::otherPress(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  const bool press = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick;
  if (!press && type != QEvent::MouseButtonRelease) return false;
  LinkTable& links = rt_.state.links;
  if (!press) {
    links.mouseState = 0;
    return false;
  }
  auto* e = static_cast<QMouseEvent*>(event);
  links.mouseState = mouseStateCode(e->buttons() | e->button(), e->modifiers(), type == QEvent::MouseButtonDblClick);
  const std::string script = rt_.state.clickScript;
  if ((watched == window_.Legda || watched == window_.Sombra) && !script.empty())
    runGuarded(rt_, [&] { freshRun(rt_, script); });
  return false;
}

bool LinkInput::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type != QEvent::MouseMove && type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick &&
      type != QEvent::MouseButtonRelease) {
    return false;
  }
  if (watched == window_.Legda || watched == window_.Sombra || watched == window_.Abok1 || watched == window_.Input)
    return otherPress(watched, event);
  auto* surface = static_cast<PictureWidget*>(watched);
  LinkGroup group;
  if (surface == window_.TelCmd) group = LinkGroup::Panel;
  else if (surface == window_.Imp) group = LinkGroup::Background;
  else if (surface == window_.Tela3) group = LinkGroup::Scrolling;
  else if (surface == window_.Tela) group = LinkGroup::Screen;
  else return false;
  if ((surface == window_.Tela || surface == window_.Tela3) && viewerActive()) return false;
  auto* e = static_cast<QMouseEvent*>(event);
  switch (type) {
    case QEvent::MouseMove: hover(surface, group, e->position().toPoint()); break;
    case QEvent::MouseButtonPress: press(surface, group, e, false); break;
    case QEvent::MouseButtonDblClick: press(surface, group, e, true); break;
    default: release(surface, e); break;
  }
  // The surfaces' own handlers (the window drag on Imp) still get the event.
  return false;
}

void LinkInput::hover(PictureWidget* surface, LinkGroup group, QPoint pos) {
  LinkTable& links = rt_.state.links;
  links.hovered = links.hitTest(group, pos.x(), pos.y());
  if (links.hovered >= 0) {
    surface->setCursor(linkCursorShape(links.records[static_cast<size_t>(links.hovered)].cursor));
  } else {
    surface->setCursor(surface == window_.Imp ? Qt::DragCopyCursor : Qt::ArrowCursor);
  }
}

void LinkInput::press(PictureWidget* surface, LinkGroup group, QMouseEvent* e, bool doubleClick) {
  GameState& s = rt_.state;
  LinkTable& links = s.links;
  const QPoint pos = e->position().toPoint();
  // A press where no move was seen (a touch, a synthetic click) still finds
  // its link.
  hover(surface, group, pos);
  links.mouseState = mouseStateCode(e->buttons() | e->button(), e->modifiers(), doubleClick);
  const bool gameScreen = surface == window_.Tela || surface == window_.Tela3;
  if (gameScreen) {
    switch (e->button()) {
      case Qt::LeftButton: s.pressButton = "btlf"; break;
      case Qt::MiddleButton: s.pressButton = "btmd"; break;
      case Qt::RightButton: s.pressButton = "btrg"; break;
      default: s.pressButton.clear(); break;
    }
  }
  s.lastPressX = pos.x();
  s.lastPressY = pos.y();
  runGuarded(rt_, [&] {
    if (surface == window_.Tela && !s.clickScript.empty()) freshRun(rt_, s.clickScript);
    if (links.hovered < 0) return;
    // A copy: the click script may already have reused the record.
    const LinkRecord rec = links.records[static_cast<size_t>(links.hovered)];
    playClickSound(rt_, rec.pressSound);
    if (!rec.pressedPicture.empty()) drawOver(surface, rec.pressedPicture, rec);
  });
}

void LinkInput::release(PictureWidget* surface, QMouseEvent* e) {
  GameState& s = rt_.state;
  LinkTable& links = s.links;
  links.mouseState = 0;
  const bool scrolling = surface == window_.Tela3;
  if (surface == window_.Tela || scrolling) s.pressButton.clear();
  if (links.hovered < 0) return;
  const LinkRecord rec = links.records[static_cast<size_t>(links.hovered)];
  const QPoint pos = e->position().toPoint();
  runGuarded(rt_, [&] {
    if (!rec.pressedPicture.empty()) drawOver(surface, rec.picture, rec);
    links.insideX = pos.x() - rec.x;
    links.insideY = pos.y() - rec.y;
    activateLinkTarget(rt_, rec.target, scrolling ? TargetRules::ScriptsAndAddresses : TargetRules::Full);
  });
}

void LinkInput::drawOver(PictureWidget* surface, const std::string& name, const LinkRecord& rec) {
  // A text link has no file to draw back; a stale BufShp must not appear.
  if (name.empty() || !files::exists(files::join(rt_.state.paths.graphicsFolder, name))) return;
  loadPicture(rt_, name, Surface::BufShp);
  const QImage& picture = window_.BufShp->picture();
  if (picture.isNull()) return;
  const QSize size(rec.width > 0 ? rec.width : picture.width(), rec.height > 0 ? rec.height : picture.height());
  drawTransparent(surface->picture(), picture, QRect(QPoint(rec.x, rec.y), size));
  surface->update();
}

}  // namespace corvant
