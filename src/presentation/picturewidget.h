#pragma once
// A surface that paints a picture and reports mouse presses, moves and
// releases. Every picture component of the windows is one of these.
#include <QImage>
#include <QWidget>

#include "presentation/canvas.h"

namespace corvant {

class PictureWidget : public QWidget {
  Q_OBJECT
 public:
  explicit PictureWidget(const QString& name, QWidget* parent = nullptr);

  const QImage& picture() const { return picture_; }
  QImage& picture() { return picture_; }
  void setPicture(const QImage& image);
  // Stretch the picture over the widget instead of painting it at its size.
  void setStretch(bool on);
  bool stretch() const { return stretch_; }

  // The style drawing on this surface uses.
  CanvasStyle canvas;

 signals:
  void pressed(QMouseEvent* event);
  void moved(QMouseEvent* event);
  void released(QMouseEvent* event);

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* e) override { emit pressed(e); }
  void mouseMoveEvent(QMouseEvent* e) override { emit moved(e); }
  void mouseReleaseEvent(QMouseEvent* e) override { emit released(e); }

 private:
  QImage picture_;
  bool stretch_ = false;
};

}  // namespace corvant
