#pragma once
// TForm1F, the full-screen backdrop that can cover the desktop behind the
// main window: a colour or a stretched picture, and a small toggle in its
// corner that moves it (and the main window) to a second monitor and back.
#include <QWidget>

#include "presentation/picturewidget.h"

namespace corvant {

struct Runtime;

class TForm1F : public QWidget {
  Q_OBJECT
 public:
  explicit TForm1F(Runtime& rt);
  ~TForm1F() override;

  PictureWidget* Imag = nullptr;
  PictureWidget* Image1 = nullptr;

  // A picture file (stretched over the screen) or, for anything else, a
  // colour string; a colour that does not convert gives black.
  void setContent(const std::string& pictureOrColour);
  // Shows the backdrop and puts the main window in front of it.
  void showBehindMainWindow();
  // Second-monitor placement ("xz"): the backdrop to the right of the
  // primary screen, the main window centred on a 1366 x 768 monitor there.
  void placeOnSecondMonitor();
  // The toggle in the corner: primary screen <-> second monitor.
  void togglePlacement();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  void moveMainWindow(int x, int y);

  Runtime& rt_;
};

}  // namespace corvant
