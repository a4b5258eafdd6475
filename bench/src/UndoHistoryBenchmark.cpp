// 10,000 operations of recording, undo and redo on one canvas's history with a step that does
// nothing, so what is measured is the history itself: its bookkeeping, the release of discarded
// steps and its console trace. Beside it, the floor of the same work: the same trace lines
// formatted and handed to the same (silent) console sink, which every operation must print.

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "FakeCanvas.h"
#include "commands/AbstractArtworkDrawingOperation.h"
#include "commands/CommandManager.h"
#include "foundation/Console.h"
#include "tools/ApplicationManager.h"

namespace {

using namespace tessivarium;

enum class Op { record, undo, redo };

// Four in ten record, three undo, three redo: histories grow, branch and are cut back.
std::vector<Op> operations() {
  std::mt19937 random(11);
  std::uniform_int_distribution<int> pick(0, 9);
  std::vector<Op> ops(10000);
  for (auto& op : ops) {
    const int p = pick(random);
    op = p < 4 ? Op::record : p < 7 ? Op::undo : Op::redo;
  }
  return ops;
}

void BM_UndoHistory10kOperations(benchmark::State& state) {
  foundation::setConsoleSink([](std::string_view) {});
  auto canvas = std::make_shared<testsupport::FakeCanvas>(0, 64, 48);
  AppManager().setCurrentPaint(canvas);
  const std::vector<Op> ops = operations();
  for (auto _ : state) {
    CommandManager manager(canvas);
    for (Op op : ops) {
      switch (op) {
        case Op::record: manager.append(std::make_shared<AbstractArtworkDrawingOperation>(canvas, nullptr)); break;
        case Op::undo: benchmark::DoNotOptimize(manager.undo()); break;
        case Op::redo: benchmark::DoNotOptimize(manager.redo()); break;
      }
    }
    manager.clean();
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(ops.size()));
}
BENCHMARK(BM_UndoHistory10kOperations)->Unit(benchmark::kMicrosecond);

// The lines the run above prints, one per record and two per undo or redo that happens.
void BM_Floor10kTraceLines(benchmark::State& state) {
  foundation::setConsoleSink([](std::string_view) {});
  const std::vector<Op> ops = operations();
  for (auto _ : state) {
    std::int64_t current = -1, last = -1;
    auto line = [&](const char* literal) {
      foundation::consoleLine(std::string(literal) + std::to_string(current) + " " + std::to_string(last));
    };
    for (Op op : ops) {
      if (op == Op::record) {
        last = ++current;
        line("");
      } else if (op == Op::undo && current >= 0) {
        line("Undo -> "), --current, line("Undo <- ");
      } else if (op == Op::redo && current < last) {
        line("Redo -> "), ++current, line("Redo <- ");
      }
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(ops.size()));
}
BENCHMARK(BM_Floor10kTraceLines)->Unit(benchmark::kMicrosecond);

}  // namespace
