#include "runtime/startup.h"

#include <QDir>
#include <QFileInfo>

#include <sys/statvfs.h>

#include "runtime/files.h"
#include "runtime/savedgame.h"
#include "text/cp1252.h"
#include "text/numbers.h"

namespace corvant {
namespace {

QString withSlash(QString folder) {
  if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
  return folder;
}

QString configPath(const GameState& s) { return files::join(s.paths.gameFolder, s.paths.gameName + ".ini"); }

std::string badNumber(const GameState& s, int index, const char* what, int fallback) {
  return files::display(configPath(s)) + ", line " + std::to_string(index + 1) + " (" + what + "): '" +
         s.config.at(index) + "' is not a whole number; using " + std::to_string(fallback) + ".";
}

}  // namespace

LaunchOptions parseLaunch(const QStringList& args, const QString& executablePath) {
  LaunchOptions o;
  QStringList positional;
  for (int i = 1; i < args.size(); ++i) {
    const QString& a = args[i];
    if (a == QLatin1String("--trace")) {
      if (i + 1 >= args.size()) {
        o.error = QStringLiteral("--trace needs a file name");
        return o;
      }
      o.traceFile = args[++i];
    } else if (a == QLatin1String("--start")) {
      o.startAtOnce = true;
    } else if (a.startsWith(QLatin1String("--trace="))) {
      o.traceFile = a.mid(8);
    } else {
      positional << a;
    }
  }
  if (o.traceFile.isEmpty()) o.traceFile = qEnvironmentVariable("CORVANT_TRACE");

  if (!positional.isEmpty() && positional.first().endsWith(QLatin1String(".ini"), Qt::CaseInsensitive)) {
    const QFileInfo ini(positional.takeFirst());
    o.gameFolder = withSlash(ini.absolutePath());
    o.gameName = ini.completeBaseName();
    o.changeDirectory = true;
  } else {
    const QFileInfo exe(executablePath);
    o.gameFolder = withSlash(exe.absolutePath());
    o.gameName = exe.fileName();
    if (o.gameName.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive)) o.gameName.chop(4);
  }
  if (!positional.isEmpty()) o.commandArg = positional.first();
  return o;
}

std::string machineIdentifier(const QString& folder) {
  struct statvfs st {};
  unsigned long id = 0;
  if (statvfs(QFile::encodeName(folder).constData(), &st) == 0) id = static_cast<unsigned long>(st.f_fsid);
  return std::to_string(id & 0xF2FFFDFUL) + "-571";
}

std::vector<StartupMessage> readConfiguration(GameState& s) {
  std::vector<StartupMessage> messages;
  const QString path = configPath(s);
  auto lines = files::readLines(path);
  if (!lines) {
    messages.push_back({true, "Cannot read the configuration file " + files::display(path) +
                                  ". Start the program in the game's folder, or give the game's .ini file: "
                                  "corvant path/to/game.ini"});
    return messages;
  }
  s.config.lines = std::move(*lines);
  s.config.padTo(cfg::kPaddedSize);
  s.configLoaded = true;
  s.paths.saveName = s.paths.gameName;

  if (auto n = text::parseInt(s.config.at(cfg::kRegisterCount)); n && *n >= 0) {
    s.registerCount = *n;
  } else {
    messages.push_back({false, badNumber(s, cfg::kRegisterCount, "register count", s.registerCount)});
  }
  s.takeScriptVariables();
  s.registers.assign(static_cast<size_t>(s.registerCount) + 1, std::string());
  s.registerNames.clear();
  s.carriedValue = s.config.at(cfg::kCarriedValue);
  s.language = s.config.at(cfg::kLanguage);
  return messages;
}

WindowSize configuredWindowSize(const GameState& s, std::vector<StartupMessage>& messages) {
  WindowSize w;
  auto take = [&](int index, const char* what, int& out) {
    auto n = text::parseInt(s.config.at(index));
    if (n && *n > 0) out = *n;
    else messages.push_back({false, badNumber(s, index, what, out)});
  };
  take(cfg::kWidth, "window width", w.width);
  take(cfg::kHeight, "window height", w.height);
  return w;
}

std::vector<std::string> shutdownSave(GameState& s, const WindowGeometry& g) {
  std::vector<std::string> errors;
  if (!s.configLoaded || s.loadFailed) return errors;
  ConfigList& c = s.config;
  c.padTo(cfg::kMinimumWritten);
  c.set(0, std::to_string(g.left));
  c.set(1, std::to_string(g.top));
  c.set(cfg::kSaveName, s.saveName());
  c.set(cfg::kRegisterCount, std::to_string(s.registerCount));
  c.set(cfg::kIniScp, s.iniScp);
  c.set(cfg::kScript, s.script);
  c.set(cfg::kRetScp, s.retScp);
  c.set(cfg::kObjeto, s.objeto);
  c.set(cfg::kPosic, s.posic);
  c.set(cfg::kWidth, std::to_string(g.width));
  c.set(cfg::kHeight, std::to_string(g.height));
  c.set(cfg::kCarriedValue, s.carriedValue);
  if (!c.lines.empty()) {
    const std::string err = files::writeLines(configPath(s), c.lines);
    if (!err.empty()) errors.push_back("Cannot write " + files::display(configPath(s)) + ": " + err);
  }
  auto saved = saveAtShutdown(s);
  errors.insert(errors.end(), saved.begin(), saved.end());
  return errors;
}

}  // namespace corvant
