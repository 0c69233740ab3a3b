#pragma once
// Where finished trace lines go. By default nowhere; `--trace FILE` (or
// CORVANT_TRACE) writes them to a file so authors can see what ran.
#include <QFile>
#include <QString>

#include <string>

namespace corvant {

class TraceSink {
 public:
  virtual ~TraceSink() = default;
  virtual void write(const std::string& /*line*/) {}
};

class FileTraceSink : public TraceSink {
 public:
  explicit FileTraceSink(const QString& path);
  bool isOpen() const { return file_.isOpen(); }
  void write(const std::string& line) override;

 private:
  QFile file_;
};

// The line number as the trace writes it: right-aligned in four characters,
// only the last four digits of a longer number.
std::string traceLinePrefix(int lineIndex);
// Replaces `trace` with that prefix, reusing its storage.
void startTraceLine(std::string& trace, int lineIndex);

}  // namespace corvant
