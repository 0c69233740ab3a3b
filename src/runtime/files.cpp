#include "runtime/files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "text/cp1252.h"
#include "text/strings.h"

namespace corvant::files {
namespace {

QString normalise(QString path) { return path.replace(QLatin1Char('\\'), QLatin1Char('/')); }

// Finds `name` inside `folder` ignoring case; empty when there is none.
QString matchInFolder(const QString& folder, const QString& name) {
  QDir dir(folder.isEmpty() ? QStringLiteral(".") : folder);
  const QStringList entries = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
  for (const QString& e : entries)
    if (e.compare(name, Qt::CaseInsensitive) == 0) return e;
  return {};
}

}  // namespace

QString resolve(const QString& raw) {
  const QString path = normalise(raw);
  if (path.isEmpty() || QFileInfo::exists(path)) return path;

  const bool absolute = path.startsWith(QLatin1Char('/'));
  const QStringList parts = path.split(QLatin1Char('/'));
  QString built = absolute ? QStringLiteral("/") : QString();
  for (int i = 0; i < parts.size(); ++i) {
    const QString& part = parts[i];
    const bool last = i == parts.size() - 1;
    if (part.isEmpty() || part == QLatin1String(".") || part == QLatin1String("..")) {
      if (!part.isEmpty()) built += part + (last ? QString() : QStringLiteral("/"));
      continue;
    }
    QString candidate = built + part;
    if (!QFileInfo::exists(candidate)) {
      const QString found = matchInFolder(built, part);
      if (found.isEmpty()) {
        // Nothing matches from here on: keep the rest as written.
        QString rest = parts.mid(i).join(QLatin1Char('/'));
        return built + rest;
      }
      candidate = built + found;
    }
    built = candidate + (last ? QString() : QStringLiteral("/"));
  }
  return built;
}

QString join(const QString& folder, std::string_view name) { return folder + text::toQString(name); }

bool exists(const QString& path) { return QFileInfo::exists(resolve(path)); }

std::optional<std::string> readBytes(const QString& path) {
  QFile f(resolve(path));
  if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
  const QByteArray data = f.readAll();
  if (f.error() != QFileDevice::NoError) return std::nullopt;
  return std::string(data.constData(), static_cast<size_t>(data.size()));
}

std::optional<std::vector<std::string>> readLines(const QString& path) {
  auto bytes = readBytes(path);
  if (!bytes) return std::nullopt;
  return text::splitLines(*bytes);
}

std::string writeLines(const QString& path, const std::vector<std::string>& lines) {
  const QString target = resolve(path);
  QSaveFile f(target);
  if (!f.open(QIODevice::WriteOnly)) return f.errorString().toStdString();
  const std::string content = text::joinLines(lines);
  if (f.write(content.data(), static_cast<qint64>(content.size())) != static_cast<qint64>(content.size())) {
    std::string err = f.errorString().toStdString();
    f.cancelWriting();
    return err.empty() ? "write failed" : err;
  }
  if (!f.commit()) return f.errorString().toStdString();
  return {};
}

std::string appendLine(const QString& path, std::string_view line) {
  QFile f(resolve(path));
  if (!f.open(QIODevice::WriteOnly | QIODevice::Append)) return f.errorString().toStdString();
  std::string data(line);
  data += "\r\n";
  if (f.write(data.data(), static_cast<qint64>(data.size())) != static_cast<qint64>(data.size()))
    return f.errorString().toStdString();
  return {};
}

bool remove(const QString& path) { return QFile::remove(resolve(path)); }

std::string display(const QString& path) { return text::fromQString(QDir::toNativeSeparators(path)); }

}  // namespace corvant::files
