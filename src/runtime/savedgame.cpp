#include "runtime/savedgame.h"

#include <QDir>
#include <QFileInfo>

#include <optional>

#include "engine/scripterror.h"
#include "runtime/files.h"
#include "text/cp1252.h"
#include "text/numbers.h"
#include "text/strings.h"

namespace corvant {
namespace {

QString savePath(const GameState& s, const std::string& ext) {
  return files::join(s.paths.adventureFolder, s.saveName() + ext);
}

void writeOrFail(const QString& path, const std::vector<std::string>& lines) {
  const std::string err = files::writeLines(path, lines);
  if (!err.empty()) throw ScriptError("Cannot write " + files::display(path) + ": " + err);
}

}  // namespace

std::string fileBaseFor(const QString& folder) {
  QString abs = QFileInfo(folder.isEmpty() ? QStringLiteral(".") : folder).absoluteFilePath();
  if (!abs.endsWith(QLatin1Char('/'))) abs += QLatin1Char('/');
  std::string base = text::fromQString(abs);
  base = text::replaceAll(base, "\\", "/");
  base = text::replaceAll(base, " ", "%20");
  if (!text::startsWith(base, "/")) base = "/" + base;  // a drive letter path
  return "file://" + base;
}

std::string loadGame(GameState& s, const std::string& saveName) {
  const QString folder = s.paths.gameFolder;
  auto path = [&](const char* ext) { return files::join(folder, saveName + ext); };
  struct Required {
    const char* ext;
    std::vector<std::string> lines;
  };
  Required req[] = {{".ini", {}}, {".rgs", {}}, {".obz", {}}, {".obx", {}}};
  for (auto& r : req) {
    auto lines = files::readLines(path(r.ext));
    if (!lines) return "Cannot read the saved-game file " + files::display(path(r.ext)) + ": it is missing or unreadable.";
    r.lines = std::move(*lines);
  }
  std::optional<std::vector<std::string>> names;
  if (files::exists(path(".nrg"))) {
    names = files::readLines(path(".nrg"));
    if (!names) return "Cannot read the saved-game file " + files::display(path(".nrg")) + ".";
  }

  // Everything was read: replace the state wholesale.
  const int oldCount = s.registerCount;
  s.paths.saveName = saveName;
  s.triggerCountdown = 0;
  s.triggerScript.clear();
  s.timerScript.clear();
  s.paths.adventureFolder = folder;
  s.paths.graphicsFolder = folder;
  s.paths.fileBase = fileBaseFor(folder);
  s.config.lines = std::move(req[0].lines);
  s.registers = std::move(req[1].lines);
  s.registerNames = names ? std::move(*names) : std::vector<std::string>();
  if (s.registerNames.size() < static_cast<size_t>(oldCount) + 1)
    s.registerNames.assign(static_cast<size_t>(oldCount) + 1, std::string());
  s.objectList = std::move(req[2].lines);
  s.objectRecords = std::move(req[3].lines);

  s.registerCount = text::parseIntOr(s.config.at(cfg::kRegisterCount), s.registerCount);
  s.takeScriptVariables();
  s.gameLoaded = true;
  s.configLoaded = true;
  return {};
}

void writeRegisters(const GameState& s, const std::string& fileName) {
  writeOrFail(files::join(s.paths.adventureFolder, fileName), s.registers);
}

void writeObjectRecords(const GameState& s) { writeOrFail(savePath(s, ".obx"), s.objectRecords); }

void saveAfterRun(const GameState& s) {
  if (!s.gameLoaded) return;
  writeRegisters(s, s.saveName() + ".rgs");
  writeObjectRecords(s);
}

std::vector<std::string> saveAtShutdown(const GameState& s) {
  std::vector<std::string> errors;
  if (!s.gameLoaded || s.saveName().empty()) return errors;
  auto save = [&](const std::string& ext, const std::vector<std::string>& lines) {
    const QString path = savePath(s, ext);
    const std::string err = files::writeLines(path, lines);
    if (!err.empty()) errors.push_back("Cannot write " + files::display(path) + ": " + err);
  };
  if (!s.config.lines.empty()) save(".ini", s.config.lines);
  if (!s.registers.empty()) save(".rgs", s.registers);
  if (!s.objectRecords.empty()) save(".obx", s.objectRecords);
  if (!s.objectList.empty()) save(".obz", s.objectList);
  save(".nrg", s.registerNames);
  return errors;
}

}  // namespace corvant
