// Commands about the machine and the program around the game: winver,
// executar, setdefs, scriptcmd=.
#include <QProcess>
#include <QStringList>

#include "engine/commandtable.h"
#include "engine/params.h"
#include "engine/scripterror.h"
#include "engine/scriptfiles.h"
#include "runtime/files.h"
#include "runtime/runtime.h"
#include "text/cp1252.h"
#include "text/numbers.h"
#include "text/strings.h"

namespace corvant {
namespace {

// How often a waiting executar# looks at the program it started.
constexpr int kProcessPollMs = 5;

// The Windows release the game runs on, for games that adapt to it. The
// tests run in this order so that a name carrying several releases gives the
// last one tested; any other system answers "?".
void winver(Runtime& rt) {
  std::string& r = reg(rt, registerNumber(numberParam(rt, 1)));
  r = "?";
  const std::string product = rt.host.productName();
  for (const char* release : {"10", "8", "7", "XP"})
    if (text::contains(product, std::string("Windows ") + release)) r = release;
}

struct Launch {
  QString program;
  QStringList arguments;
};

Launch launchOf(Runtime& rt) {
  return {text::toQString(valueParam(rt, 1)),
          text::toQString(valueParam(rt, 2)).split(QLatin1Char(' '), Qt::SkipEmptyParts)};
}

// Opens a document or starts a program and lets the game go on. A program
// that cannot be started is not the game's failure: nothing happens.
void executar(Runtime& rt) {
  const std::string target = valueParam(rt, 1);
  if (target.empty()) return;
  if (valueParam(rt, 2).empty()) return rt.host.openExternal(target);
  const Launch l = launchOf(rt);
  QProcess::startDetached(l.program, l.arguments);
}

// Starts a program without a console and waits for it to end, processing
// events meanwhile so the windows stay alive.
void executarAndWait(Runtime& rt) {
  if (valueParam(rt, 1).empty()) return;
  const Launch l = launchOf(rt);
  QProcess process;
  // Nothing reads what the program writes, and it must not wait for input.
  process.setStandardInputFile(QProcess::nullDevice());
  process.setStandardOutputFile(QProcess::nullDevice());
  process.setStandardErrorFile(QProcess::nullDevice());
  process.start(l.program, l.arguments);
  if (!process.waitForStarted()) return;
  while (process.state() != QProcess::NotRunning) {
    rt.pumpEvents();
    rt.host.sleepMs(kProcessPollMs);
    // Notices the end without relying on the event loop, which the host may
    // not run.
    process.waitForFinished(0);
  }
}

// Changes a configuration entry in memory; P2 in its number form, so a "$"
// name stores the register's number. The list has a fixed set of entries,
// so an index outside it is a script error rather than a new entry.
void setdefs(Runtime& rt) {
  const int index = text::parseIntOr(numberParam(rt, 1), 0);
  ConfigList& config = rt.state.config;
  if (index < 0 || index >= config.size())
    throw ScriptError("setdefs: configuration index " + std::to_string(index) + " is outside 0 to " +
                      std::to_string(config.size() - 1));
  config.set(index, numberParam(rt, 2));
}

// Chooses the script that reads the command line.
void scriptcmd(Runtime& rt) {
  const std::string name = valueParam(rt, 1);
  std::string& trace = rt.interp.trace;
  if (name.empty()) return void(trace += " <--- n\xE3o especificou o script");
  trace += name;
  if (!plainScriptExists(rt.state, name))
    return void(trace += " <--- n\xE3o existe este script");
  rt.state.vocabularyScript = name;
}

const CommandEntry kCommands[] = {
    {"winver", winver},
    {"winver=", winver},
    {"executar", executar},
    {"execute", executar},
    {"executar#", executarAndWait},
    {"execute#", executarAndWait},
    {"setdefs", setdefs},
    {"setdefs=", setdefs},
    {"scriptcmd=", scriptcmd},
    {"scpcmd=", scriptcmd},
};

}  // namespace

void registerOsCommands(CommandTable& table) { table.add(kCommands); }

}  // namespace corvant
