#pragma once
// TForm10, the monitor of screen model "4": a borderless window filling the
// screen, the game picture scaled in its middle between two letterbox bars.
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

#include "presentation/canvas.h"
#include "presentation/picturewidget.h"

namespace corvant {

struct Runtime;

// Where text may go on the monitor picture, in monitor pixels.
struct MonitorMargins {
  int left = 0, top = 0, right = 0, bottom = 0;
};

class TForm10 : public QWidget {
  Q_OBJECT
 public:
  explicit TForm10(Runtime& rt);
  ~TForm10() override;

  QWidget* ShpTop = nullptr;
  QWidget* ShpBot = nullptr;
  QWidget* PanMon = nullptr;
  PictureWidget* Monitor = nullptr;
  QLabel* Sombra = nullptr;
  QLabel* Legda = nullptr;
  QLineEdit* Inpt4 = nullptr;

  // Everything drawn in model "4" lands here first; the end of a run and
  // `refresh` copy it onto Monitor.
  QImage monitorBuffer;
  CanvasStyle monitorCanvas;
  MonitorMargins margins;
  QColor letterbox = Qt::black;

  // Fills and outlines both bars in the letterbox colour.
  void paintBars();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* e) override;
  void keyReleaseEvent(QKeyEvent* e) override;

 private:
  void hover(QPoint pos);
  void press(QPoint pos);
  void release(QPoint pos);
  // Draws a picture file on Monitor over a link: copied when the sizes
  // match, stretched otherwise.
  void drawOverLink(const std::string& name, const struct LinkRecord& rec);

  Runtime& rt_;
};

}  // namespace corvant
