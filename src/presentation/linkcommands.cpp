// Commands that add links, switch groups of links on and off, and read back
// where the player pressed.
#include <QFontMetrics>
#include <QPainter>

#include <cmath>

#include "engine/commandtable.h"
#include "engine/linesyntax.h"
#include "engine/params.h"
#include "engine/scripterror.h"
#include "presentation/layout.h"
#include "presentation/linktable.h"
#include "presentation/mainwindow.h"
#include "presentation/pictures.h"
#include "runtime/files.h"
#include "runtime/runtime.h"
#include "text/cp1252.h"
#include "text/numbers.h"
#include "text/strings.h"
#include "windows/monitorwindow.h"

namespace corvant {
namespace {

using text::intToText;
using text::parseIntOr;

// An empty parameter is 0; anything else must be a number or the run ends.
int numberOrFail(const std::string& s) {
  if (s.empty()) return 0;
  if (auto v = text::parseInt(s)) return *v;
  throw ScriptError("'" + s + "' is not a valid integer value");
}

// The general font, its size scaled for the monitor of model "4".
QFont scaledGeneralFont(const Runtime& rt, double scale) {
  QFont font = generalFont(rt);
  if (scale != 1.0 && font.pointSize() > 0) font.setPointSize(static_cast<int>(font.pointSize() * scale));
  return font;
}

QSize measuredText(const QFont& font, const std::string& s) {
  const QFontMetrics metrics(font);
  const QString t = text::toQString(s);
  return {metrics.horizontalAdvance(t), metrics.height()};
}

// linkpainel=: a link on the window background, drawn at once.
void linkPanel(Runtime& rt) {
  std::array<std::string, 9> p;
  for (int i = 1; i <= 9; ++i) p[static_cast<size_t>(i - 1)] = valueParam(rt, i);
  LinkRecord rec;
  rec.picture = p[0];
  rec.target = p[1];
  rec.pressedPicture = p[7];
  rec.pressSound = p[8];
  rec.x = numberOrFail(p[2]);
  rec.y = numberOrFail(p[3]);
  rec.width = numberOrFail(p[4]);
  rec.height = numberOrFail(p[5]);
  rec.cursor = rec.target.empty() ? numberOrFail(p[6]) : 1;
  TForm1* w = rt.form1;
  if (namesPicture(rec.picture)) {
    const QSize drawn = drawPictureFile(rt, rec.picture, rec.x, rec.y, rec.width, rec.height, Surface::Imp);
    if (rec.width == 0) rec.width = drawn.width();
    if (rec.height == 0) rec.height = drawn.height();
  } else if (!rec.picture.empty()) {
    const std::string shown = substituteAllMarkers(rec.picture, rt.state.modelo);
    const QFont font = generalFont(rt);
    const QSize size = measuredText(font, shown);
    rec.width = size.width();
    rec.height = size.height();
    if (w && !w->Imp->picture().isNull()) {
      QPainter painter(&w->Imp->picture());
      painter.setFont(font);
      painter.setPen(textColour(rt));
      painter.drawText(QRect(rec.x, rec.y, rec.width, rec.height), Qt::AlignLeft | Qt::AlignTop,
                       text::toQString(shown));
      painter.end();
      w->Imp->update();
    }
  }
  rt.state.links.add(LinkGroup::Background, std::move(rec));
}

// click / tic: an area on the monitor picture of model "4".
void monitorArea(Runtime& rt) {
  std::string& trace = rt.interp.trace;
  const std::string p1 = valueParam(rt, 1), p2 = valueParam(rt, 2);
  const bool picture = namesPicture(p1);
  if (picture) {
    trace += p1;
    if (!files::exists(files::join(rt.state.paths.graphicsFolder, p1))) {
      return void(trace += " <--- arquivo n\xE3o existe");
    }
  } else {
    trace += p1.substr(0, 5);
  }
  trace += "," + p2;
  if (rt.state.modelo != "4") return;
  // The monitor scales everything scripts place on it.
  const double scale = rt.state.scale;
  auto scaled = [&](int n) { return static_cast<int>(parseIntOr(valueParam(rt, n), 0) * scale); };
  const std::string p7 = valueParam(rt, 7), p8 = valueParam(rt, 8), p9 = valueParam(rt, 9);
  LinkRecord rec;
  rec.picture = p1;
  rec.target = p2;
  rec.pressedPicture = p8;
  rec.pressSound = p9;
  rec.x = scaled(3);
  rec.y = scaled(4);
  rec.width = scaled(5);
  rec.height = scaled(6);
  rec.cursor = p7.empty() ? (p2.empty() ? 0 : 1) : parseIntOr(p7, 0);
  trace += "," + intToText(rec.x) + "," + intToText(rec.y);
  TForm10* monitor = rt.monitor;
  if (picture) {
    loadPicture(rt, p1, Surface::BufShp);
    if (rt.form1) {
      const QImage& loaded = rt.form1->BufShp->picture();
      if (rec.width == 0) rec.width = static_cast<int>(loaded.width() * scale);
      if (rec.height == 0) rec.height = static_cast<int>(loaded.height() * scale);
      if (monitor) drawTransparent(monitor->monitorBuffer, loaded, QRect(rec.x, rec.y, rec.width, rec.height));
    }
  } else if (!p1.empty()) {
    const std::string shown = substituteAllMarkers(p1, rt.state.modelo);
    const QFont font = scaledGeneralFont(rt, scale);
    const QSize size = measuredText(font, shown);
    rec.width = size.width();
    rec.height = size.height();
    if (monitor && !monitor->monitorBuffer.isNull()) {
      QPainter painter(&monitor->monitorBuffer);
      painter.setFont(font);
      painter.setPen(textColour(rt));
      painter.drawText(QRect(rec.x, rec.y, rec.width, rec.height), Qt::AlignLeft | Qt::AlignTop,
                       text::toQString(shown));
    }
  }
  trace += "," + intToText(rec.width) + "," + intToText(rec.height) + "," + p7 + "," + p8 + "," + p9;
  rt.state.links.add(LinkGroup::Screen, std::move(rec));
}

void switchLinks(Runtime& rt, bool on) {
  const std::string word = valueParam(rt, 1);
  rt.interp.trace += word;
  LinkTable& links = rt.state.links;
  if (word.empty()) return links.setActive(0, 99, on);
  if (auto group = linkGroupByWord(word)) links.setActive(*group, on);
}

void linksOff(Runtime& rt) { switchLinks(rt, false); }
void linksOn(Runtime& rt) { switchLinks(rt, true); }

void zeroLinks(Runtime& rt) {
  const std::string word = valueParam(rt, 1);
  LinkTable& links = rt.state.links;
  if (word.empty()) return links.clearAll();
  // The monitor's "md4" and the windows' groups are left to their owners.
  if (word == "tel" || word == "fnc" || word == "pan" || word == "md3" || word == "vsr") {
    links.clearGroup(*linkGroupByWord(word));
  }
}

void storePair(Runtime& rt, int x, int y) {
  reg(rt, registerNumber(numberParam(rt, 1))) = intToText(x);
  reg(rt, registerNumber(numberParam(rt, 2))) = intToText(y);
}

void getClick(Runtime& rt) { storePair(rt, rt.state.lastPressX, rt.state.lastPressY); }
void getXY(Runtime& rt) { storePair(rt, rt.state.links.insideX, rt.state.links.insideY); }

const CommandEntry kCommands[] = {
    {"linkpainel=", linkPanel},
    {"lnkpan=", linkPanel},
    {"linkpan=", linkPanel},
    {"click", monitorArea},
    {"tic", monitorArea},
    {"linksoff", linksOff},
    {"linkson", linksOn},
    {"zeralinks", zeroLinks},
    {"zeralinks=", zeroLinks},
    {"getclick", getClick},
    {"getclick=", getClick},
    {"getxy", getXY},
};

}  // namespace

void registerLinkCommands(CommandTable& table) { table.add(kCommands); }

}  // namespace corvant
