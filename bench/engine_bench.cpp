// Throughput of the interpreter and the cost of one fresh run with its save.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <charconv>

#include "engine/driver.h"
#include "engine/linesyntax.h"
#include "runtime/files.h"
#include "runtime/runtime.h"
#include "runtime/savedgame.h"

using namespace corvant;

namespace {

class NullHost : public Host {
 public:
  void pumpEvents() override {}
  void sleepMs(int) override {}
  void requestQuit(int) override {}
  bool quitting() const override { return false; }
  void showError(const std::string&) override {}
  void openExternal(const std::string&) override {}
  std::string productName() const override { return "bench"; }
};

// An ordinary command that touches a register, standing in for the real
// register commands.
void benchSet(Runtime& rt) {
  rt.state.registers[1] = rt.interp.P(2);
  rt.interp.trace += rt.interp.P(1) + "," + rt.interp.P(2);
}

std::vector<std::string> ordinaryScript() {
  std::vector<std::string> lines;
  for (int i = 0; i < 200; ++i) {
    switch (i % 5) {
      case 0: lines.push_back("  b.set 1,value number " + std::to_string(i)); break;
      case 1: lines.push_back("b.set #1,#2,#3,more,params"); break;
      case 2: lines.push_back("/ a comment line"); break;
      case 3: lines.push_back(":label" + std::to_string(i)); break;
      default: lines.push_back("unknown.word a,b,c"); break;
    }
  }
  return lines;
}

struct Game {
  Game() : rt(host) {
    rt.commands.add("b.set", benchSet);
    const QString d = dir.path() + "/";
    files::writeLines(d + "game.ini", std::vector<std::string>(110, ""));
    files::writeLines(d + "game.rgs", std::vector<std::string>(251));
    files::writeLines(d + "game.obz", {});
    files::writeLines(d + "game.obx", {});
    files::writeLines(d + "bench.scp", ordinaryScript());
    rt.state.paths.gameFolder = d;
    rt.state.paths.gameName = "game";
    loadGame(rt.state, "game");
    rt.state.registerCount = 250;
    rt.state.registers.resize(251);
  }
  QTemporaryDir dir;
  NullHost host;
  Runtime rt;
};

void BM_InterpretLines(benchmark::State& state) {
  Game g;
  g.rt.state.lines = ordinaryScript();
  for (auto _ : state) {
    for (size_t i = 0; i < g.rt.state.lines.size(); ++i) {
      g.rt.state.lineIndex = static_cast<int>(i);
      interpretLine(g.rt);
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(g.rt.state.lines.size()));
}
BENCHMARK(BM_InterpretLines);

void BM_FreshRunWithSave(benchmark::State& state) {
  Game g;
  for (auto _ : state) freshRun(g.rt, "bench");
}
BENCHMARK(BM_FreshRunWithSave)->Unit(benchmark::kMicrosecond);

// The register loop: inc, ifreg<, goto back to a label near the end of a
// 200-line script.
std::vector<std::string> loopScript(int iterations) {
  std::vector<std::string> lines = {"reg= 1,0"};
  for (int i = 1; i < 195; ++i) lines.push_back(i % 2 ? "/ filler comment " + std::to_string(i) : ":filler" + std::to_string(i));
  lines.push_back(":loop");
  lines.push_back("inc 1");
  lines.push_back("ifreg< 1," + std::to_string(iterations) + ",loop");
  lines.push_back("/ done");
  return lines;
}

void BM_RegisterLoopScript(benchmark::State& state) {
  const int iterations = static_cast<int>(state.range(0));
  Game g;
  files::writeLines(g.rt.state.paths.gameFolder + "loop.scp", loopScript(iterations));
  for (auto _ : state) freshRun(g.rt, "loop");
  if (g.rt.state.registers[1] != std::to_string(iterations)) state.SkipWithError("the loop did not count");
  state.counters["ns_per_iteration"] =
      benchmark::Counter(static_cast<double>(iterations) * static_cast<double>(state.iterations()),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_RegisterLoopScript)->Arg(1000000)->Unit(benchmark::kMillisecond);

// The same loop written directly over string registers.
void BM_RegisterLoopDirect(benchmark::State& state) {
  const int iterations = static_cast<int>(state.range(0));
  std::vector<std::string> registers(251);
  for (auto _ : state) {
    registers[1] = "0";
    const std::string limit = std::to_string(iterations);
    while (true) {
      int v = 0;
      std::from_chars(registers[1].data(), registers[1].data() + registers[1].size(), v);
      char buf[16];
      auto end = std::to_chars(buf, buf + sizeof buf, v + 1).ptr;
      registers[1].assign(buf, end);
      int current = 0, bound = 0;
      std::from_chars(registers[1].data(), registers[1].data() + registers[1].size(), current);
      std::from_chars(limit.data(), limit.data() + limit.size(), bound);
      if (!(current < bound)) break;
    }
    benchmark::DoNotOptimize(registers[1]);
  }
  state.counters["ns_per_iteration"] =
      benchmark::Counter(static_cast<double>(iterations) * static_cast<double>(state.iterations()),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_RegisterLoopDirect)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
