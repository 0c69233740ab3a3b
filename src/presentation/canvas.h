#pragma once
// What a drawing surface draws with: the fill colour of clears, the pen, and
// the font text is written in. Scripts change these without drawing; the next
// clear or text output uses them.
#include <QColor>
#include <QFont>

namespace corvant {

struct CanvasStyle {
  QColor brush = Qt::black;
  QColor pen = Qt::white;
  QColor fontColour = Qt::white;
  QFont font;
};

}  // namespace corvant
