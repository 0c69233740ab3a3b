#pragma once
// The mouse on the picture surfaces of the main window: which link is under
// the pointer, what a press shows and what a release starts.
#include <QObject>
#include <QPoint>

#include <string>

#include "presentation/linktable.h"

class QMouseEvent;

namespace corvant {

struct Runtime;
class TForm1;
class PictureWidget;

// The code scripts read for the held buttons and keys. The combinations are
// tested from the simplest up, each match replacing the earlier one.
int mouseStateCode(Qt::MouseButtons held, Qt::KeyboardModifiers modifiers, bool doubleClick);

// The cursor of a link's cursor type; unknown types show the arrow.
Qt::CursorShape linkCursorShape(int type);

// What a released link does with its target. The scrolling screen knows
// only addresses and scripts: there a ":" target is a script name too.
enum class TargetRules { Full, ScriptsAndAddresses };
void activateLinkTarget(Runtime& rt, const std::string& target, TargetRules rules = TargetRules::Full);

// Shows the map page in the viewport, or returns from it to the page of the
// current screen model with the height and command line it had.
void toggleMapPage(Runtime& rt);

// Watches Tela, TelCmd, Imp and Tela3 of the main window; owned by it.
class LinkInput : public QObject {
  Q_OBJECT
 public:
  LinkInput(Runtime& rt, TForm1& window);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool otherPress(QObject* watched, QEvent* event);
  void hover(PictureWidget* surface, LinkGroup group, QPoint pos);
  void press(PictureWidget* surface, LinkGroup group, QMouseEvent* e, bool doubleClick);
  void release(PictureWidget* surface, QMouseEvent* e);
  // Draws a picture file straight onto the visible surface over a link.
  void drawOver(PictureWidget* surface, const std::string& name, const LinkRecord& rec);
  // The picture viewer takes over Tela and Tela3 while it runs; it does not
  // exist yet, so the links of those surfaces always answer.
  bool viewerActive() const { return false; }

  Runtime& rt_;
  TForm1& window_;
};

}  // namespace corvant
