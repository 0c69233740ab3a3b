#include "engine/trace.h"

#include <charconv>
#include <cstdio>
#include <string_view>

#include "text/cp1252.h"

namespace corvant {

FileTraceSink::FileTraceSink(const QString& path) : file_(path) {
  if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
    std::fprintf(stderr, "corvant: cannot write the trace file %s\n", path.toLocal8Bit().constData());
}

void FileTraceSink::write(const std::string& line) {
  if (!file_.isOpen()) return;
  // The file is for people reading it on this system: UTF-8.
  file_.write((text::toQString(line) + QLatin1Char('\n')).toUtf8());
  file_.flush();
}

std::string traceLinePrefix(int lineIndex) {
  std::string out;
  startTraceLine(out, lineIndex);
  return out;
}

void startTraceLine(std::string& trace, int lineIndex) {
  char digits[16];
  auto end = std::to_chars(digits, digits + sizeof digits, lineIndex).ptr;
  std::string_view n(digits, static_cast<size_t>(end - digits));
  if (n.size() > 4) n = n.substr(n.size() - 4);
  trace.assign(4 - n.size(), ' ');
  trace += n;
  trace += ": ";
}

}  // namespace corvant
