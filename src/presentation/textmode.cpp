#include "presentation/textmode.h"

#include <QFontMetrics>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>

#include "presentation/mainwindow.h"
#include "runtime/runtime.h"
#include "runtime/textsettings.h"
#include "text/cp1252.h"

namespace corvant {
namespace {


void appendAtEnd(QPlainTextEdit& page, const QString& s) {
  QTextCursor c(page.document());
  c.movePosition(QTextCursor::End);
  c.insertText(s);
}

// Every text written goes on a line of its own, after what the page holds.
void startLine(QPlainTextEdit& page) {
  if (!page.document()->isEmpty()) appendAtEnd(page, QStringLiteral("\n"));
}

QStringList pageLines(const QPlainTextEdit& page) {
  if (page.document()->isEmpty()) return {};
  return page.toPlainText().split(QLatin1Char('\n'));
}

// Shows the last line, as a page that keeps its text at the bottom should.
void showEnd(QPlainTextEdit& page) {
  page.verticalScrollBar()->setValue(page.verticalScrollBar()->maximum());
}

}  // namespace

QString forDisplay(const std::string& text) {
  QString s = text::toQString(text);
  s.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return s;
}

int pageLineCount(const QPlainTextEdit& page) {
  const int points = page.font().pointSize() > 0 ? page.font().pointSize() : 10;
  return std::max(1, page.height() / TextSettings::pixelSize(points));
}

std::vector<std::string> displayLines(const QPlainTextEdit& page, const std::string& text) {
  const QFontMetrics metrics(page.font());
  const int width = std::max(1, page.viewport()->width());
  std::vector<std::string> out;
  for (const QString& paragraph : forDisplay(text).split(QLatin1Char('\n'))) {
    QString line;
    for (const QString& word : paragraph.split(QLatin1Char(' '))) {
      const QString candidate = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
      if (!line.isEmpty() && metrics.horizontalAdvance(candidate) > width) {
        out.push_back(text::fromQString(line));
        line = word;
      } else {
        line = candidate;
      }
    }
    out.push_back(text::fromQString(line));
  }
  return out;
}

void textModeOutput(Runtime& rt, const std::string& text) {
  TForm1* w = rt.form1;
  if (!w) return;
  QPlainTextEdit& page = *w->MsgMd0;
  const std::string& effect = rt.state.textEffect;
  const int delay = rt.state.typingDelay;
  rt.pumpEvents();
  if (effect.empty()) {
    startLine(page);
    for (const QChar c : forDisplay(text)) {
      appendAtEnd(page, QString(c));
      page.repaint();
      if (delay > 0) rt.host.sleepMs(delay);
      if (rt.host.quitting()) break;
    }
    return;
  }
  if (effect == "direto" || effect == "direct") {
    startLine(page);
    return appendAtEnd(page, forDisplay(text));
  }
  const int lines = pageLineCount(page);
  if (effect == "scrollup") {
    QStringList shown = pageLines(page);
    while (shown.size() < lines - 1) shown.append(QString());
    for (const std::string& line : displayLines(page, text)) {
      if (shown.size() >= lines) shown.removeFirst();
      shown.append(text::toQString(line));
      page.setPlainText(shown.join(QLatin1Char('\n')));
      showEnd(page);
      page.repaint();
      if (delay > 0) rt.host.sleepMs(delay);
      if (rt.host.quitting()) break;
    }
    return;
  }
  if (effect == "down" || effect == "botton") {
    QStringList shown = pageLines(page);
    shown.append(forDisplay(text).split(QLatin1Char('\n')));
    while (shown.size() < lines) shown.prepend(QString());
    while (shown.size() > lines) shown.removeFirst();
    page.setPlainText(shown.join(QLatin1Char('\n')));
    showEnd(page);
  }
}

}  // namespace corvant
