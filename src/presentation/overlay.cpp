#include "presentation/overlay.h"

#include <QLabel>

#include "presentation/mainwindow.h"
#include "presentation/pictures.h"
#include "runtime/runtime.h"
#include "windows/monitorwindow.h"

namespace corvant {
namespace {

// Empty, and out of sight below the screen.
void hideSubtitle(QLabel* text, QLabel* shadow) {
  for (QLabel* label : {text, shadow}) {
    if (!label) continue;
    label->clear();
    label->move(label->x(), 1000);
  }
}

}  // namespace

DecorationState& decorationState(Runtime& rt) { return rt.state.decoration; }

void stampOverlay(Runtime& rt) {
  TForm1* w = rt.form1;
  if (!w) return;
  const DecorationState& d = decorationState(rt);
  const QImage& overlay = w->Hud->picture();
  drawTransparent(w->screenBuffer, overlay, QRect(QPoint(d.overlayX, d.overlayY), overlay.size()));
}

void stampOverlayForPresent(Runtime& rt) {
  if (rt.form1 && decorationState(rt).overlayOn) stampOverlay(rt);
}

void clearSubtitles(Runtime& rt) {
  if (TForm1* w = rt.form1) hideSubtitle(w->Legda, w->Sombra);
  if (TForm10* m = rt.monitor) hideSubtitle(m->Legda, m->Sombra);
}

}  // namespace corvant
