// Runs the built program on small game folders and checks what it saved.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>
#include <string>
#include <vector>

namespace {

std::string join(const std::vector<std::string>& lines) {
  std::string out;
  for (const auto& l : lines) out += l + "\r\n";
  return out;
}

std::vector<std::string> splitCrLf(const std::string& s) {
  std::vector<std::string> out;
  size_t start = 0, at;
  while ((at = s.find("\r\n", start)) != std::string::npos) {
    out.push_back(s.substr(start, at - start));
    start = at + 2;
  }
  if (start < s.size()) out.push_back(s.substr(start));
  return out;
}

class Game {
 public:
  explicit Game(const std::string& name = "game") : name_(name) {}
  QString dir() const { return tmp_.path() + "/"; }
  void write(const std::string& file, const std::string& bytes) {
    QFile f(dir() + QString::fromStdString(file));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes.data(), static_cast<qint64>(bytes.size()));
  }
  void writeLines(const std::string& file, const std::vector<std::string>& lines) { write(file, join(lines)); }
  std::string read(const std::string& file) const {
    QFile f(dir() + QString::fromStdString(file));
    if (!f.open(QIODevice::ReadOnly)) return "<missing>";
    QByteArray b = f.readAll();
    return std::string(b.constData(), static_cast<size_t>(b.size()));
  }
  bool exists(const std::string& file) const { return QFile::exists(dir() + QString::fromStdString(file)); }

  // A configuration written with LF line ends, so a rewrite (CR LF) shows.
  void writeStandardFiles(std::vector<std::pair<int, std::string>> overrides = {}) {
    std::vector<std::string> ini(110);
    ini[5] = "250";
    ini[6] = ini[7] = ini[8] = "start";
    ini[11] = "320";
    ini[12] = "200";
    ini[26] = "1";
    ini[95] = "carried through";
    for (auto& [i, v] : overrides) ini[static_cast<size_t>(i)] = v;
    std::string lf;
    for (auto& l : ini) lf += l + "\n";
    write(name_ + ".ini", lf);
    write(name_ + ".rgs", join(std::vector<std::string>(251)));
    write(name_ + ".obz", join({"lamp"}));
    write(name_ + ".obx", join({"lamp", "Old lamp", "", "", "", "", "", ""}));
  }

  const std::string& name() const { return name_; }

 private:
  QTemporaryDir tmp_;
  std::string name_;
};

struct Result {
  int exitCode;
  std::string stderrText;
};

// Starts the program offscreen, as the tests see it.
void start(QProcess& p, const QString& program, const QStringList& args, const QString& cwd) {
  p.setProgram(program);
  p.setArguments(args);
  p.setWorkingDirectory(cwd);
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("QT_QPA_PLATFORM", "offscreen");
  p.setProcessEnvironment(env);
  p.start();
  ASSERT_TRUE(p.waitForStarted());
}

// Lets a started game reach its waiting line, then ends it with SIGTERM.
void terminateAfterAWhile(QProcess& p) {
  QThread::msleep(1500);
  ASSERT_EQ(p.state(), QProcess::Running) << "the game ended before it was told to";
  ::kill(static_cast<pid_t>(p.processId()), SIGTERM);
  ASSERT_TRUE(p.waitForFinished(10000)) << "SIGTERM did not end the program";
}

Result runProgram(const QString& program, const QStringList& args, const QString& cwd, int timeoutMs = 60000) {
  QProcess p;
  start(p, program, args, cwd);
  if (!p.waitForFinished(timeoutMs)) {
    p.kill();
    p.waitForFinished();
    ADD_FAILURE() << "the program did not end";
  }
  return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardError().toStdString()};
}

}  // namespace

TEST(EndToEnd, GameStartsRunsItsScriptsAndSavesItsState) {
  // Both ways of starting a game: the .ini path, and the executable copied
  // into the folder under the game's name.
  for (bool copied : {false, true}) {
    Game g("castle");
    g.writeStandardFiles({{6, "intro"}});
    g.writeLines("start.scp", {"/ must exist"});
    g.writeLines("intro.scp", {"'The castle gate is open.'", "loadregs extra,5,0,1", "reset objs,lamp",
                               "saveregs backup", "encerrar 0"});
    g.writeLines("extra.rgs", {"five", "six"});
    g.writeLines("lamp.obj", {"lamp", "Old lamp", "A dusty lamp", "hall", "lamp.png", "", "", ""});

    QString program = CORVANT_EXE;
    QStringList args{"--start"};
    if (copied) {
      program = g.dir() + "castle";
      ASSERT_TRUE(QFile::copy(CORVANT_EXE, program));
    } else {
      args << g.dir() + "castle.ini";
    }
    const Result r = runProgram(program, args, copied ? g.dir() : QDir::tempPath());
    EXPECT_EQ(r.exitCode, 0) << r.stderrText;

    const auto ini = splitCrLf(g.read("castle.ini"));
    ASSERT_GE(ini.size(), 110u) << "copied=" << copied;
    EXPECT_EQ(ini[4], "castle");
    EXPECT_EQ(ini[5], "250");
    EXPECT_EQ(ini[6], "intro");
    EXPECT_EQ(ini[7], "intro");
    EXPECT_EQ(ini[11], "320");
    EXPECT_EQ(ini[12], "200");
    EXPECT_EQ(ini[95], "carried through");
    const auto rgs = splitCrLf(g.read("castle.rgs"));
    ASSERT_EQ(rgs.size(), 251u);
    EXPECT_EQ(rgs[5], "five");
    EXPECT_EQ(rgs[6], "six");
    EXPECT_EQ(splitCrLf(g.read("backup.rgs")), rgs);
    EXPECT_EQ(splitCrLf(g.read("castle.obx")).at(3), "hall");
    EXPECT_EQ(splitCrLf(g.read("castle.obz")), std::vector<std::string>{"lamp"});
    EXPECT_EQ(splitCrLf(g.read("castle.nrg")).size(), 251u);
  }
}

TEST(EndToEnd, TerminationSignalEndsAWaitingGameAndSaves) {
  Game g;
  g.writeStandardFiles();
  g.writeLines("start.scp", {"loadregs extra,0,0,0", "encerrar 200"});  // waits 100 s
  g.writeLines("extra.rgs", {"zero"});
  QProcess p;
  start(p, CORVANT_EXE, {"--start", g.dir() + "game.ini"}, QDir::tempPath());
  terminateAfterAWhile(p);
  EXPECT_EQ(p.exitCode(), 0);
  EXPECT_TRUE(g.exists("game.nrg"));  // written only by shutdown
  EXPECT_EQ(splitCrLf(g.read("game.rgs")).at(0), "zero");
  EXPECT_EQ(splitCrLf(g.read("game.ini")).size(), 110u);
}

TEST(EndToEnd, MissingConfigurationIsReportedAndNothingIsWritten) {
  Game g;
  const Result r = runProgram(CORVANT_EXE, {"--start", g.dir() + "game.ini"}, QDir::tempPath());
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.stderrText.find("game.ini"), std::string::npos) << r.stderrText;
  EXPECT_TRUE(QDir(g.dir()).isEmpty());
}

TEST(EndToEnd, MissingStartScriptEndsAndKeepsTheSavedGame) {
  Game g;
  g.writeStandardFiles();
  g.writeLines("game.rgs", {"precious"});
  const Result r = runProgram(CORVANT_EXE, {"--start", g.dir() + "game.ini"}, QDir::tempPath());
  EXPECT_EQ(r.exitCode, 0) << r.stderrText;
  EXPECT_EQ(g.read("game.rgs"), "precious\r\n");
  EXPECT_FALSE(g.exists("game.nrg"));
}

TEST(EndToEnd, TraceOptionWritesTheLinesThatRan) {
  Game g;
  g.writeStandardFiles();
  g.writeLines("start.scp", {":begin", "encerrar 0"});
  const QString trace = g.dir() + "trace.txt";
  const Result r = runProgram(CORVANT_EXE, {"--trace", trace, "--start", g.dir() + "game.ini"}, QDir::tempPath());
  EXPECT_EQ(r.exitCode, 0) << r.stderrText;
  const std::string t = g.read("trace.txt");
  EXPECT_NE(t.find("Executando script: start.scp"), std::string::npos) << t;
  EXPECT_NE(t.find("   0: :begin <-"), std::string::npos) << t;
  EXPECT_NE(t.find("   1: encerrar "), std::string::npos) << t;
}

TEST(EndToEnd, ScriptFailureShowsWhereAndTheGameGoesOn) {
  Game g;
  g.writeStandardFiles();
  g.writeLines("start.scp", {"'an unclosed text block"});
  QProcess p;
  start(p, CORVANT_EXE, {"--start", g.dir() + "game.ini"}, QDir::tempPath());
  terminateAfterAWhile(p);  // still alive after the failure
  const std::string err = p.readAllStandardError().toStdString();
  EXPECT_NE(err.find("start.scp, line"), std::string::npos) << err;
}

TEST(EndToEnd, BundledDemoPlaysWithoutErrors) {
  Game g("demo");
  for (const QString& name : QDir(CORVANT_DEMO_DIR).entryList(QDir::Files))
    ASSERT_TRUE(QFile::copy(QString(CORVANT_DEMO_DIR) + "/" + name, g.dir() + name));
  QProcess p;
  start(p, CORVANT_EXE, {"--start", g.dir() + "demo.ini"}, QDir::tempPath());
  terminateAfterAWhile(p);
  EXPECT_EQ(p.exitCode(), 0);
  const std::string err = p.readAllStandardError().toStdString();
  EXPECT_EQ(err.find("corvant:"), std::string::npos) << err;
  const auto rgs = splitCrLf(g.read("demo.rgs"));
  ASSERT_GE(rgs.size(), 6u);
  EXPECT_EQ(rgs[1], "1");                               // one visit
  EXPECT_EQ(rgs[2], "Welcome back, traveller.");        // the English capture
  EXPECT_EQ(rgs[5], "Bem-vindo de volta, viajante.");   // the Portuguese one
  EXPECT_EQ(rgs[4], "10");                              // worked out by the subroutine
}
