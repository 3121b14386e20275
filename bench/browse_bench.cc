// Browse list moves over file blocks of 1,000 to 1,000,000 entries with one
// short key: a line move, a page move, a jump to a thumb position and a
// SetAndUpdate to a random key. Each size's file is built once per run in a
// temporary folder; each figure is the median over repetitions, so the rows
// of one move side by side show whether it stays flat as the file grows.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "store/browse_list.h"
#include "store/engine.h"

namespace {

namespace fs = std::filesystem;
using tallybook::store::BrowseList;
using tallybook::store::BrowseView;
using tallybook::store::Engine;
using tallybook::store::FileHandle;
using tallybook::store::RowRec;

constexpr int kRecLen = 24;
constexpr int kPageRows = 20;

std::string KeyOf(int id) {
  char text[16];
  std::snprintf(text, sizeof text, "K%07d", id);
  return text;
}

// A file block of `entries` entries and a list over it, shared by all
// benchmarks of the run that use that size.
struct Fixture {
  int entries;
  fs::path dir;
  Engine engine;
  FileHandle handle = 0;
  std::vector<uint8_t> buffer = std::vector<uint8_t>(kRecLen, 0);
  std::unique_ptr<BrowseList> list;
  bool ok = false;

  explicit Fixture(int count) : entries(count) {
    dir = fs::temp_directory_path() /
          ("browse_bench_" + std::to_string(::getpid()) + "_" +
           std::to_string(entries));
    fs::create_directories(dir);
    std::string base = (dir / "BENCH").string();
    if (!engine.StoreStartup(0, 30) ||
        !engine.CreateFileBlock(base, kRecLen, {{8, false}}) ||
        !engine.OpenFileBlock(handle, base, false)) {
      std::fprintf(stderr, "cannot make the file block: %d\n",
                   engine.StoreError());
      return;
    }
    std::vector<uint8_t> rec(kRecLen, 0);
    for (int id = 1; id <= entries; ++id) {
      std::string key = KeyOf(id);
      std::memcpy(&rec[4], key.data(), key.size());
      int32_t ref = 0;
      if (!engine.AddRecord(handle, ref, rec.data()) ||
          !engine.AddKey(handle, 1, ref, key)) {
        std::fprintf(stderr, "cannot add entry %d: %d\n", id,
                     engine.StoreError());
        return;
      }
    }
    list = std::make_unique<BrowseList>(engine, handle, 1,
                                        std::span<uint8_t>(buffer), "", "");
    list->SetPageRows(kPageRows);
    list->OnBuildRow = [this](RowRec& rr) {
      rr.Row[0].assign(reinterpret_cast<char*>(&buffer[4]), 8);
      return 0;
    };
    ok = true;
  }
  ~Fixture() {
    list.reset();
    engine.StoreShutdown();
    fs::remove_all(dir);
  }
  void Middle() {
    list->SetAndUpdate(KeyOf(entries / 2), 0);
    while (list->CurrentRow() < kPageRows) list->LineDown();
  }
};

Fixture& Shared(const benchmark::State& state) {
  static std::map<int, std::unique_ptr<Fixture>> fixtures;
  const int entries = static_cast<int>(state.range(0));
  auto& fixture = fixtures[entries];
  if (!fixture) fixture = std::make_unique<Fixture>(entries);
  return *fixture;
}

void BM_LineMove(benchmark::State& state) {
  Fixture& f = Shared(state);
  if (!f.ok) return state.SkipWithError("no file block");
  f.Middle();
  for (auto _ : state) {
    if (f.list->LineDown() == BrowseView::kNone) {
      state.PauseTiming();
      f.Middle();
      state.ResumeTiming();
    }
  }
}

void BM_PageMove(benchmark::State& state) {
  Fixture& f = Shared(state);
  if (!f.ok) return state.SkipWithError("no file block");
  f.Middle();
  for (auto _ : state) {
    if (f.list->PageDown() == BrowseView::kNone) {
      state.PauseTiming();
      f.Middle();
      state.ResumeTiming();
    }
  }
}

void BM_JumpToThumb(benchmark::State& state) {
  Fixture& f = Shared(state);
  if (!f.ok) return state.SkipWithError("no file block");
  std::mt19937 random(1);
  std::uniform_int_distribution<int> pos(1, 62);
  for (auto _ : state) f.list->JumpToThumb(pos(random));
}

void BM_SetAndUpdateRandomKey(benchmark::State& state) {
  Fixture& f = Shared(state);
  if (!f.ok) return state.SkipWithError("no file block");
  std::mt19937 random(2);
  std::uniform_int_distribution<int> id(1, f.entries);
  for (auto _ : state) f.list->SetAndUpdate(KeyOf(id(random)), 0);
}

void Sizes(benchmark::internal::Benchmark* b) {
  b->Arg(1000)->Arg(10000)->Arg(100000)->Arg(1000000);
  b->Repetitions(9)->ReportAggregatesOnly(true);
}

BENCHMARK(BM_LineMove)->Apply(Sizes);
BENCHMARK(BM_PageMove)->Apply(Sizes);
BENCHMARK(BM_JumpToThumb)->Apply(Sizes);
BENCHMARK(BM_SetAndUpdateRandomKey)->Apply(Sizes);

}  // namespace

BENCHMARK_MAIN();
