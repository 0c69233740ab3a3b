// corvant-scramble: turns plain scripts (.scp) into scrambled ones (.scx), for
// games that ship with configuration index 91 set to "x".
//
//   corvant-scramble script.scp [more.scp ...]   writes script.scx beside each
#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>

#include "engine/scriptfiles.h"
#include "runtime/files.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = app.arguments().mid(1);
  if (args.isEmpty()) {
    std::fprintf(stderr, "usage: corvant-scramble script.scp [more.scp ...]\n");
    return 2;
  }
  int failures = 0;
  for (const QString& in : args) {
    auto lines = corvant::files::readLines(in);
    if (!lines) {
      std::fprintf(stderr, "corvant-scramble: cannot read %s\n", in.toLocal8Bit().constData());
      ++failures;
      continue;
    }
    const QFileInfo info(in);
    const QString out = info.path() + "/" + info.completeBaseName() + ".scx";
    const std::string err = corvant::files::writeLines(out, corvant::scramble(*lines));
    if (!err.empty()) {
      std::fprintf(stderr, "corvant-scramble: cannot write %s: %s\n", out.toLocal8Bit().constData(), err.c_str());
      ++failures;
      continue;
    }
    std::printf("%s -> %s\n", in.toLocal8Bit().constData(), out.toLocal8Bit().constData());
  }
  return failures == 0 ? 0 : 1;
}
