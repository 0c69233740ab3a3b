#include "engine/trace.h"

#include <cstdio>

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
  std::string n = std::to_string(lineIndex);
  if (n.size() > 4) n = n.substr(n.size() - 4);
  return std::string(4 - n.size(), ' ') + n + ": ";
}

}  // namespace corvant
