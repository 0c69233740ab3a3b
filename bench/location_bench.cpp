// One fresh run of a typical location: an 800 x 600 screen composed from six
// pictures, twenty links on the window, the end-of-run present and save.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <memory>

#include "app/program.h"
#include "engine/driver.h"
#include "engine/guard.h"
#include "presentation/mainwindow.h"
#include "runtime/files.h"
#include "runtime/startup.h"

using namespace corvant;

namespace {

class QuietHost : public Host {
 public:
  void pumpEvents() override { QCoreApplication::processEvents(); }
  void sleepMs(int) override {}
  void requestQuit(int) override {}
  bool quitting() const override { return false; }
  void showError(const std::string& m) override { std::fprintf(stderr, "%s\n", m.c_str()); }
  void openExternal(const std::string&) override {}
  std::string productName() const override { return "bench"; }
};

// Gradients with noise, so the files compress like real artwork.
QImage artwork(int w, int h, bool alpha, quint32 seed) {
  QImage image(w, h, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  QRandomGenerator rng(seed);
  for (int y = 0; y < h; ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < w; ++x) {
      const int n = static_cast<int>(rng.bounded(24));
      const int a = alpha ? ((x + y) % 7 == 0 ? 0 : 255) : 255;
      row[x] = qRgba((x * 255 / w + n) & 255, (y * 255 / h + n) & 255, ((x + y) / 4 + n) & 255, a);
    }
  }
  return image;
}

struct Location {
  Location() {
    QDir::setCurrent(dir.path());
    const QString d = dir.path() + "/";
    std::vector<std::string> config(110);
    config[5] = "250";
    config[6] = config[7] = config[8] = "start";
    config[11] = "820";
    config[12] = "700";
    config[15] = "DejaVu Sans";
    config[16] = "12";
    config[18] = "000000";
    config[19] = "FFFFFF";
    config[26] = "1";
    config[58] = "800";
    config[59] = "600";
    config[45] = "0";
    config[46] = "610";
    config[47] = "800";
    config[48] = "80";
    config[53] = "*";
    files::writeLines(d + "g.ini", config);
    files::writeLines(d + "g.rgs", std::vector<std::string>(251));
    files::writeLines(d + "g.obz", {});
    files::writeLines(d + "g.obx", {});
    files::writeLines(d + "start.scp", {"/"});
    artwork(800, 600, false, 1).save(d + "room.png");
    for (int i = 0; i < 4; ++i) artwork(160, 120, true, 10 + i).save(d + QString("thing%1.png").arg(i));
    artwork(200, 150, false, 20).save(d + "window.jpg", "JPEG", 85);
    artwork(36, 20, false, 30).save(d + "button.bmp");
    std::vector<std::string> script = {"tela= room.png", "display= window.jpg,tel,560,40"};
    for (int i = 0; i < 4; ++i)
      script.push_back("display= thing" + std::to_string(i) + ".png,tel," + std::to_string(40 + i * 180) + ",400");
    for (int i = 0; i < 20; ++i)
      script.push_back("linkpainel= button.bmp,room," + std::to_string(i * 40) + ",660,0,0,2");
    files::writeLines(d + "room.scp", script);
    launch = parseLaunch({"corvant", d + "g.ini"}, "/usr/bin/corvant");
    program = std::make_unique<Program>(host, launch);
    program->show();
    program->clickOpeningPicture();
    QCoreApplication::processEvents();
  }
  QTemporaryDir dir;
  QuietHost host;
  LaunchOptions launch;
  std::unique_ptr<Program> program;
};

void BM_LocationRun(benchmark::State& state) {
  Location location;
  Runtime& rt = location.program->runtime();
  for (auto _ : state) {
    const bool ok = runGuarded(rt, [&] { freshRun(rt, "room"); });
    if (!ok) state.SkipWithError("the location script failed");
  }
  benchmark::DoNotOptimize(location.program->mainWindow().screenBuffer.constBits());
}
BENCHMARK(BM_LocationRun)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
