#include "presentation/picturewidget.h"

#include <QPainter>

namespace corvant {

PictureWidget::PictureWidget(const QString& name, QWidget* parent) : QWidget(parent) { setObjectName(name); }

void PictureWidget::setPicture(const QImage& image) {
  picture_ = image;
  update();
}

void PictureWidget::setStretch(bool on) {
  stretch_ = on;
  update();
}

void PictureWidget::paintEvent(QPaintEvent*) {
  if (picture_.isNull()) return;
  QPainter p(this);
  if (stretch_) p.drawImage(rect(), picture_);
  else p.drawImage(0, 0, picture_);
}

}  // namespace corvant
