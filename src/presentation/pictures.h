#pragma once
// The picture loader every surface uses, and drawing a picture file onto a
// surface. Magenta (red 255, green 0, blue 255) is transparent throughout.
#include <QImage>
#include <QRect>

#include <string>

namespace corvant {

struct Runtime;

// The components a picture can be loaded into or drawn onto.
enum class Surface { Tela, TelCmd, Imp, MapJog, TelMod3, Hud, BufShp, TelAber, BtFim, VzrBuf };

// Whether a name is a picture file (it holds ".gif", ".png", ".jpg" or
// ".bmp" anywhere); commands that take "a picture or a text" decide by it.
bool namesPicture(const std::string& name);

// Loads graphics folder + name into the surface. "Tela" and "TelCmd" are
// redirected: the picture goes through BufShp onto the screen or panel back
// buffer, magenta left out. An empty name clears the surface's picture. A
// JPEG, BMP or GIF that cannot be read leaves the surface as it was; a PNG
// that cannot be read fails the run with its message.
void loadPicture(Runtime& rt, const std::string& name, Surface target);

// Loads the file into BufShp and draws it at (x, y) on the surface, at its
// own size when width or height is 0, stretched otherwise; magenta is left
// out. In model "1" "Tela" means the screen back buffer and "TelCmd" always
// means the panel back buffer. Returns the size drawn (empty when nothing
// was loaded).
QSize drawPictureFile(Runtime& rt, const std::string& name, int x, int y, int width, int height, Surface target);

// Draws `picture` onto `target` over `area`, stretched when the sizes
// differ, leaving magenta pixels out.
void drawTransparent(QImage& target, const QImage& picture, const QRect& area);

}  // namespace corvant
