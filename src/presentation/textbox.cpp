#include "presentation/textbox.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <optional>

#include "engine/driver.h"
#include "engine/linesyntax.h"
#include "presentation/layout.h"
#include "presentation/linktable.h"
#include "presentation/mainwindow.h"
#include "runtime/runtime.h"
#include "text/cp1252.h"
#include "text/strings.h"
#include "windows/monitorwindow.h"

namespace corvant {
namespace {

// Link colours a game leaves unset are drawn as the text settings start them.
const QColor kUnsetLinkColour(0xFF, 0xFF, 0x00);

// A colour string of the script or the settings; a malformed one fails the
// run, an empty one gives the fallback.
QColor colourOrFail(const std::string& colourString, QColor whenEmpty) {
  if (colourString.empty()) return whenEmpty;
  return QColor::fromRgb(colourToRgb(colourValue(colourString)));
}

// "@" + label + "|" + target: a link, wherever it stands.
bool isLink(std::string_view s) { return !s.empty() && s.front() == '@' && s.find('|') != std::string_view::npos; }

// "@label|target": the label is what is drawn and measured.
struct LinkParts {
  std::string label, target;
};
LinkParts linkParts(const std::string& token) {
  const size_t bar = token.find('|');
  return {token.substr(1, bar - 1), token.substr(bar + 1)};
}

// QPainter cannot draw on palette images, which some decoders return.
void makePaintable(QImage& image) {
  if (image.isNull()) return;
  const QImage::Format f = image.format();
  if (f == QImage::Format_Indexed8 || f == QImage::Format_Mono || f == QImage::Format_MonoLSB)
    image = image.convertToFormat(QImage::Format_RGB32);
}

QFontMetrics metricsOn(const QFont& font, const QImage& surface) {
  return surface.isNull() ? QFontMetrics(font) : QFontMetrics(font, &surface);
}

void drawWord(QImage& surface, const QFont& font, QColor colour, int x, int y, const QString& word) {
  if (surface.isNull() || word.isEmpty()) return;
  QPainter p(&surface);
  p.setFont(font);
  p.setPen(colour);
  p.drawText(QPoint(x, y + p.fontMetrics().ascent()), word);
}

// A horizontal line `width` pixels long on row y, thicker lines centred on
// that row as a wide pen draws them; a thickness below 1 still draws a row.
void drawUnderline(QImage& surface, QColor colour, int x, int y, int width, int thickness) {
  if (surface.isNull() || width <= 0) return;
  thickness = std::max(1, thickness);
  QPainter(&surface).fillRect(QRect(x, y - (thickness - 1) / 2, width, thickness), colour);
}

// The link record a label fills; the record's kind belongs to whoever set it
// and stays.
void addLink(LinkTable& links, LinkGroup group, std::string label, std::string target, QRect area) {
  LinkRecord rec;
  rec.kind = links.records[static_cast<size_t>(links.nextSlot(group))].kind;
  rec.picture = std::move(label);
  rec.target = std::move(target);
  rec.x = area.x();
  rec.y = area.y();
  rec.width = area.width();
  rec.height = area.height();
  rec.cursor = 1;
  links.add(group, std::move(rec));
}

PictureWidget* widgetFor(TForm1& w, TextBoxTarget target) {
  switch (target) {
    case TextBoxTarget::Tela: return w.Tela;
    case TextBoxTarget::TelMod3: return w.TelMod3;
    case TextBoxTarget::TelCmd: return w.TelCmd;
    case TextBoxTarget::Imp: return w.Imp;
    case TextBoxTarget::MapJog: return w.MapJog;
  }
  return nullptr;
}

QImage& surfaceFor(TForm1& w, TextBoxTarget target) {
  if (target == TextBoxTarget::Tela) return w.screenBuffer;
  if (target == TextBoxTarget::TelCmd) return w.panelBuffer;
  return widgetFor(w, target)->picture();
}

std::optional<LinkGroup> linkGroupFor(TextBoxTarget target) {
  switch (target) {
    case TextBoxTarget::Tela: return LinkGroup::Screen;
    case TextBoxTarget::TelMod3: return LinkGroup::Scrolling;
    case TextBoxTarget::TelCmd: return LinkGroup::Panel;
    case TextBoxTarget::Imp: return LinkGroup::Background;
    case TextBoxTarget::MapJog: return std::nullopt;
  }
  return std::nullopt;
}

// The page picture only ever grows downward; the new rows take the
// background colour.
void growPage(Runtime& rt, TForm1& w, int height) {
  PictureWidget* page = w.TelMod3;
  QImage& picture = page->picture();
  if (height <= picture.height()) return;
  const QColor background = backgroundColour(rt);
  page->canvas.brush = background;
  QImage grown(picture.isNull() ? std::max(1, page->width()) : picture.width(), height, QImage::Format_RGB32);
  grown.fill(background);
  if (!picture.isNull()) QPainter(&grown).drawImage(0, 0, picture);
  page->setPicture(grown);
  page->resize(page->width(), height);
}

// Each "§" at the start of `rest` becomes a token of its own.
void splitBreaks(std::string_view& rest, std::vector<std::string>& tokens) {
  while (!rest.empty() && rest.front() == kMarkerBreak) {
    tokens.emplace_back(1, kMarkerBreak);
    rest.remove_prefix(1);
  }
}

}  // namespace

std::vector<std::string> textBoxTokens(std::string_view text) {
  std::vector<std::string> tokens;
  std::string_view rest = text;
  while (rest.find(' ') != std::string_view::npos) {
    if (isLink(rest)) {
      // The label may hold blanks; the target ends at the next "|".
      const size_t close = rest.find('|', rest.find('|') + 1);
      tokens.emplace_back(rest.substr(0, close));
      rest = close == std::string_view::npos ? std::string_view() : rest.substr(close + 1);
      continue;
    }
    splitBreaks(rest, tokens);
    const size_t blank = rest.find(' ');
    tokens.emplace_back(rest.substr(0, blank + 1));
    rest.remove_prefix(blank + 1);
  }
  // "§" starts a line before the last word too, unless that word is a link.
  if (!isLink(rest)) splitBreaks(rest, tokens);
  // A text ending in a blank leaves nothing: no empty token that could
  // still wrap the line.
  if (!rest.empty()) tokens.emplace_back(rest);
  return tokens;
}

void growPagePicture(Runtime& rt, int height) {
  if (rt.form1) growPage(rt, *rt.form1, height);
}

void drawTextBox(Runtime& rt, const TextBox& box, TextBoxTarget target) {
  TForm1* w = rt.form1;
  if (!w) return;
  GameState& s = rt.state;
  const TextSettings& settings = s.text;
  PictureWidget* widget = widgetFor(*w, target);
  QImage& surface = surfaceFor(*w, target);
  makePaintable(surface);
  const bool onPage = target == TextBoxTarget::TelMod3;
  // The screen and the page are read as running text, where "§" ends a line;
  // elsewhere it is an ordinary character.
  const bool breaksAtMark = onPage || target == TextBoxTarget::Tela;

  std::string content = box.text == "$" ? s.memoText : box.text;
  if (text::trim(content).empty()) content = "Sem texto.";
  const int x = box.x == -1 ? s.pageWriteX : box.x;
  const int y = box.y == -1 ? s.pageWriteY : box.y;
  const QSize targetSize = onPage ? w->TelMod3->picture().size() : widget->size();
  const int width = box.width == 0 ? targetSize.width() - x : box.width;
  const int height = box.height == 0 ? targetSize.height() - y : box.height;
  const int size = box.fontSize > 0 ? box.fontSize : settings.fontSize;
  const QColor colour = colourOrFail(box.colour, textColour(rt));
  const QColor background = backgroundColour(rt);
  const bool unfilled = box.boxColour.empty() || box.boxColour == "0";
  const QColor boxColour = unfilled ? background : colourOrFail(box.boxColour, background);
  const std::string style = box.style.empty() ? "biu" : box.style;

  if (onPage && y + height > surface.height()) growPage(rt, *w, y + height);
  const int lineHeight = settings.lineHeight != 0 ? settings.lineHeight : TextSettings::pixelSize(size);

  CanvasStyle& canvas = widget->canvas;
  const CanvasStyle saved = canvas;
  QFont font(text::toQString(settings.fontFace));
  if (size > 0) font.setPointSize(size);
  applyStyleFlags(font, style);
  // The back buffers and the map write in this font from now on, as the
  // target does until the box is done.
  for (CanvasStyle* c : {&canvas, &w->screenCanvas, &w->panelCanvas, &w->MapJog->canvas}) {
    c->font = font;
    c->fontColour = colour;
  }
  if (boxColour != background) {
    for (CanvasStyle* c : {&w->screenCanvas, &w->panelCanvas, &w->MapJog->canvas, &w->Imp->canvas, &w->TelMod3->canvas})
      c->brush = boxColour;
    if (!surface.isNull()) QPainter(&surface).fillRect(QRect(x, y, width, height), boxColour);
  }

  const QFontMetrics metrics = metricsOn(font, surface);
  const std::optional<LinkGroup> group = linkGroupFor(target);
  const int underlineAt = TextSettings::pixelSize(size) - 1 + settings.underlineOffset;
  int across = 0, down = 0;
  auto newLine = [&] {
    across = 0;
    down += lineHeight;
    if (onPage && y + down > surface.height()) growPage(rt, *w, surface.height() + lineHeight);
  };
  for (const std::string& token : textBoxTokens(content)) {
    const bool link = isLink(token);
    const LinkParts parts = link ? linkParts(token) : LinkParts{};
    const QString shown = text::toQString(link ? parts.label : token);
    const int tokenWidth = metrics.horizontalAdvance(shown);
    if (tokenWidth + across > width) newLine();
    if (breaksAtMark && token.size() == 1 && token[0] == kMarkerBreak) {
      newLine();
      continue;
    }
    QColor pen = colour;
    if (link) {
      pen = colourOrFail(settings.linkColour, kUnsetLinkColour);
      if (group) {
        std::string address = parts.target;
        if (text::contains(address, "&")) address = readLinkAddress(address, s.link);
        addLink(s.links, *group, parts.label, translateAlias(rt, address),
                QRect(x + across, y + down, tokenWidth, metrics.height()));
      }
    }
    if (onPage && y + down + lineHeight > surface.height()) growPage(rt, *w, surface.height() + lineHeight + 10);
    drawWord(surface, font, pen, x + across, y + down, shown);
    if (link) {
      const QColor visited = colourOrFail(settings.visitedColour, kUnsetLinkColour);
      drawUnderline(surface, visited, x + across, y + down + underlineAt, tokenWidth, 1);
    }
    across += tokenWidth;
  }

  s.pageWriteY = y + down + lineHeight;
  canvas.font = saved.font;
  canvas.fontColour = saved.fontColour;
  canvas.brush = saved.brush;
  if (target != TextBoxTarget::Tela && target != TextBoxTarget::TelCmd) widget->update();
}

void drawMonitorTextBox(Runtime& rt, const MonitorTextBox& box) {
  TForm10* m = rt.monitor;
  if (!m) return;
  GameState& s = rt.state;
  const TextSettings& settings = s.text;
  std::string content = text::trim(box.text == "$" ? text::trim(s.memoText) : box.text);
  if (content.empty()) return;
  content = substituteMarker(kMarkerComma, substituteMarker(kMarkerBlank, content, s.modelo), s.modelo);

  const double scale = s.scale;
  const int size = static_cast<int>((box.fontSize > 0 ? box.fontSize : settings.fontSize) * scale);
  QFont font = generalFont(rt);
  if (size > 0) font.setPointSize(size);
  const QColor colour = textColour(rt);
  const int lineHeight = TextSettings::pixelSize(size);
  const int underlineAt = size / 2 + size - 2 + settings.underlineOffset;
  const int underlineThickness = static_cast<int>(settings.linkLineSize * scale);
  QImage& surface = m->monitorBuffer;
  makePaintable(surface);
  m->monitorCanvas.font = font;
  m->monitorCanvas.fontColour = colour;

  const QFontMetrics metrics = metricsOn(font, surface);
  int across = 0, down = 0;
  for (const std::string& token : textBoxTokens(content)) {
    if (down + lineHeight >= box.height) break;
    const bool link = isLink(token);
    const LinkParts parts = link ? linkParts(token) : LinkParts{};
    const QString shown = text::toQString(link ? parts.label : token);
    const int tokenWidth = metrics.horizontalAdvance(shown);
    if (tokenWidth + across > box.width) {
      across = 0;
      down += lineHeight;
      if (down + lineHeight >= box.height) break;
    }
    if (token.size() == 1 && token[0] == kMarkerBreak) {
      across = 0;
      down += lineHeight;
      continue;
    }
    const int left = box.x + across, top = box.y + down;
    // The monitor's links run their target as written; names are translated
    // when the link runs.
    if (link) {
      addLink(s.links, LinkGroup::Screen, parts.label, parts.target, QRect(left, top, tokenWidth, metrics.height()));
    }
    const QColor pen = link ? colourOrFail(settings.linkColour, kUnsetLinkColour) : colour;
    drawWord(surface, font, pen, left, top, shown);
    if (link) drawUnderline(surface, pen, left, top + underlineAt, tokenWidth, underlineThickness);
    across += tokenWidth;
  }

  const int generalSize = static_cast<int>(settings.fontSize * scale);
  if (generalSize > 0) m->monitorCanvas.font.setPointSize(generalSize);
}

}  // namespace corvant
