#include "presentation/pictures.h"

#include <QPainter>

#include "imaging/picture.h"
#include "imaging/picturecache.h"
#include "presentation/mainwindow.h"
#include "runtime/files.h"
#include "runtime/runtime.h"

namespace corvant {
namespace {

PictureWidget* widgetFor(TForm1& w, Surface s) {
  switch (s) {
    case Surface::Tela: return w.Tela;
    case Surface::TelCmd: return w.TelCmd;
    case Surface::Imp: return w.Imp;
    case Surface::MapJog: return w.MapJog;
    case Surface::TelMod3: return w.TelMod3;
    case Surface::Hud: return w.Hud;
    case Surface::BufShp: return w.BufShp;
    case Surface::TelAber: return w.TelAber;
    case Surface::BtFim: return w.btFim;
    case Surface::VzrBuf: return w.VzrBuf;
  }
  return nullptr;
}

// The bitmap a drawing on `s` lands in.
QImage& canvasFor(Runtime& rt, TForm1& w, Surface s) {
  if (s == Surface::TelCmd) return w.panelBuffer;
  if (s == Surface::Tela && rt.state.modelo == "1") return w.screenBuffer;
  return widgetFor(w, s)->picture();
}

void ensureRgb32(QImage& image) {
  if (!image.isNull() && image.format() != QImage::Format_RGB32) image = image.convertToFormat(QImage::Format_RGB32);
}

}  // namespace

bool namesPicture(const std::string& name) {
  for (const char* ext : {".gif", ".png", ".jpg", ".bmp"})
    if (name.find(ext) != std::string::npos) return true;
  return false;
}

void drawTransparent(QImage& target, const QImage& picture, const QRect& area) {
  if (picture.isNull() || target.isNull() || area.isEmpty()) return;
  const QImage src = area.size() == picture.size()
                         ? picture.convertToFormat(QImage::Format_RGB32)
                         : picture.scaled(area.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation)
                               .convertToFormat(QImage::Format_RGB32);
  const QRect clipped = area.intersected(target.rect());
  ensureRgb32(target);
  for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
    const QRgb* from = reinterpret_cast<const QRgb*>(src.constScanLine(y - area.top()));
    QRgb* to = reinterpret_cast<QRgb*>(target.scanLine(y));
    for (int x = clipped.left(); x <= clipped.right(); ++x) {
      const QRgb p = from[x - area.left()];
      if ((p & 0xFFFFFF) != 0xFF00FF) to[x] = p | 0xFF000000u;
    }
  }
}

void loadPicture(Runtime& rt, const std::string& name, Surface target) {
  TForm1* w = rt.form1;
  if (!w) return;
  const bool redirected = target == Surface::Tela || target == Surface::TelCmd;
  PictureWidget* into = redirected ? w->BufShp : widgetFor(*w, target);
  if (name.empty()) {
    into->setPicture(QImage());
  } else {
    // Before the first game load there is no graphics folder yet: the opening
    // picture comes from the game folder.
    const Paths& paths = rt.state.paths;
    const QString path = files::join(paths.graphicsFolder.isEmpty() ? paths.gameFolder : paths.graphicsFolder, name);
    QImage picture = into->picture();
    // Decoded pictures are kept by file identity, so a location seen
    // before composes without decoding again.
    if (imaging::loadPictureFileCached(path, files::resolve(path), picture)) into->setPicture(picture);
  }
  rt.pumpEventsNowAndThen();
  QImage& loaded = w->BufShp->picture();
  ensureRgb32(loaded);
  if (!redirected) return;
  QImage& buffer = target == Surface::Tela ? w->screenBuffer : w->panelBuffer;
  drawTransparent(buffer, loaded, QRect(QPoint(0, 0), loaded.size()));
}

QSize drawPictureFile(Runtime& rt, const std::string& name, int x, int y, int width, int height, Surface target) {
  TForm1* w = rt.form1;
  if (!w) return {};
  loadPicture(rt, name, Surface::BufShp);
  const QImage& picture = w->BufShp->picture();
  if (picture.isNull()) return {};
  const QSize size(width > 0 ? width : picture.width(), height > 0 ? height : picture.height());
  if (target == Surface::TelMod3) {
    // The model 3 page grows downward as pictures are added below its end.
    QImage& page = w->TelMod3->picture();
    if (y + size.height() > page.height()) {
      QImage grown(std::max(page.width(), x + size.width()), y + size.height() + 10, QImage::Format_RGB32);
      grown.fill(Qt::black);
      QPainter(&grown).drawImage(0, 0, page);
      page = grown;
    }
  }
  drawTransparent(canvasFor(rt, *w, target), picture, QRect(QPoint(x, y), size));
  if (target != Surface::Tela || rt.state.modelo != "1") widgetFor(*w, target)->update();
  return size;
}

}  // namespace corvant
