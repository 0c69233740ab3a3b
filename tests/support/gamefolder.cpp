#include "support/gamefolder.h"

#include <QFile>

#include <stdexcept>

#include "engine/driver.h"
#include "engine/guard.h"
#include "runtime/savedgame.h"
#include "text/strings.h"

namespace corvant::test {

GameFolder::GameFolder() {
  if (!dir_.isValid()) throw std::runtime_error("no temporary folder");
}

void GameFolder::writeRaw(const std::string& name, const std::string& bytes) {
  const QString p = path() + QString::fromStdString(name);
  QDir().mkpath(QFileInfo(p).absolutePath());
  QFile f(p);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) throw std::runtime_error("cannot write " + name);
  f.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

void GameFolder::write(const std::string& name, const std::vector<std::string>& lines) {
  writeRaw(name, text::joinLines(lines));
}

std::string GameFolder::readRaw(const std::string& name) const {
  QFile f(path() + QString::fromStdString(name));
  if (!f.open(QIODevice::ReadOnly)) return {};
  const QByteArray b = f.readAll();
  return std::string(b.constData(), static_cast<size_t>(b.size()));
}

std::vector<std::string> GameFolder::read(const std::string& name) const { return text::splitLines(readRaw(name)); }

bool GameFolder::exists(const std::string& name) const { return QFile::exists(path() + QString::fromStdString(name)); }

void GameFolder::writeConfig(const std::string& gameName, const std::map<int, std::string>& overrides) {
  std::vector<std::string> lines(110);
  lines[5] = "250";
  lines[6] = lines[7] = lines[8] = "start";
  lines[11] = "640";
  lines[12] = "400";
  lines[15] = "Arial";
  lines[16] = "12";
  lines[18] = "000000";
  lines[19] = "FFFFFF";
  lines[26] = "1";
  for (const auto& [i, v] : overrides) lines.at(static_cast<size_t>(i)) = v;
  write(gameName + ".ini", lines);
}

void GameFolder::writeSavedGame(const std::string& gameName, int registerCount) {
  write(gameName + ".rgs", std::vector<std::string>(static_cast<size_t>(registerCount) + 1));
  write(gameName + ".obz", {});
  write(gameName + ".obx", {});
}

LoadedGame::LoadedGame() : rt(host) {
  auto sink = std::make_unique<RecordingTrace>();
  trace = sink.get();
  rt.trace = std::move(sink);
  folder.writeConfig("game");
  folder.writeSavedGame("game");
  rt.state.paths.gameFolder = folder.path();
  rt.state.paths.gameName = "game";
  const std::string err = loadGame(rt.state, "game");
  if (!err.empty()) throw std::runtime_error(err);
}

std::string LoadedGame::call(const std::string& word, const std::vector<std::string>& params) {
  const Handler h = rt.commands.find(word);
  if (!h) throw std::logic_error("no command " + word);
  rt.interp.clearParams();
  for (size_t i = 0; i < params.size(); ++i) rt.interp.p.at(i) = params[i];
  rt.interp.trace.clear();
  h(rt);
  return rt.interp.trace;
}

bool LoadedGame::freshRun(const std::string& name) {
  return runGuarded(rt, [&] { corvant::freshRun(rt, name); });
}

}  // namespace corvant::test
