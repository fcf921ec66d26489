// The benchmark: every case's operation and floor under Google Benchmark,
// with the allocations of one call of each as counters; or, with
// --instructions, each run a fixed number of times between callgrind dumps.
//
// The host stand-in's log echo is off: a log line costs the plug-in's call
// into the host's module and the stand-in's formatting of it, but no write.
#include <benchmark/benchmark.h>
#include <valgrind/callgrind.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "AllocationCount.h"
#include "Cases.h"
#include "HostEnv.h"
#include "Inputs.h"
#include "Vomaxel.h"

namespace {

const int kCallgrindRounds = 10;

const cases::Variant& VariantOf(const cases::Family& family, const benchmark::State& state) {
  if (family.variants.size() == 1) return family.variants.front();
  for (const cases::Variant& variant : family.variants) {
    if (variant.size == state.range(0)) return variant;
  }
  return family.variants.front();
}

void Measure(benchmark::State& state, const cases::Family& family, bool floor) {
  const cases::Variant& variant = VariantOf(family, state);
  const cases::Run& run = floor ? variant.floor : variant.op;
  cases::Output out;
  run(out);  // first-use costs stay out of the figures
  const allocations::Counts made = allocations::Of([&] { run(out); });
  for (auto _ : state) run(out);
  state.counters["allocs"] = static_cast<double>(made.all);
  state.counters["openssl_allocs"] = static_cast<double>(made.openssl);
  if (family.growth) state.SetComplexityN(state.range(0));
}

void Register(const std::vector<cases::Family>& families) {
  for (const cases::Family& family : families) {
    for (bool floor : {false, true}) {
      if (floor && !family.variants.front().floor) continue;
      const std::string name = family.name + (floor ? "/floor" : "/op");
      benchmark::internal::Benchmark* benchmark = benchmark::RegisterBenchmark(
          name.c_str(),
          [&family, floor](benchmark::State& state) { Measure(state, family, floor); });
      if (family.variants.size() > 1 || family.variants.front().size != 0) {
        benchmark->ArgName(family.unit);
        for (const cases::Variant& variant : family.variants) benchmark->Arg(variant.size);
      }
      if (family.growth) benchmark->Complexity(benchmark::oN);
    }
  }
}

std::string Label(const cases::Family& family, const cases::Variant& variant, bool floor) {
  std::string label = family.name + (floor ? "/floor" : "/op");
  if (variant.size != 0) label += "/" + family.unit + ":" + std::to_string(variant.size);
  return label;
}

// The operation and its floor must produce the same output, or the floor
// measures other work.
bool FloorsMatch(const std::vector<cases::Family>& families) {
  bool match = true;
  for (const cases::Family& family : families) {
    for (const cases::Variant& variant : family.variants) {
      if (!variant.floor) continue;
      cases::Output op;
      cases::Output floor;
      variant.op(op);
      variant.floor(floor);
      if (!cases::SameOutput(family, op, floor)) {
        std::fprintf(stderr, "%s: the floor's output differs:\n%s\n--- floor:\n%s\n",
                     Label(family, variant, false).c_str(), op.text.c_str(), floor.text.c_str());
        match = false;
      }
    }
  }
  return match;
}

// Under callgrind --collect-atstart=no: one dump per run, named by its label.
void CountInstructions(const std::vector<cases::Family>& families) {
  for (const cases::Family& family : families) {
    for (const cases::Variant& variant : family.variants) {
      for (bool floor : {false, true}) {
        const cases::Run& run = floor ? variant.floor : variant.op;
        if (!run) continue;
        cases::Output out;
        run(out);
        CALLGRIND_TOGGLE_COLLECT;
        for (int round = 0; round < kCallgrindRounds; ++round) run(out);
        CALLGRIND_TOGGLE_COLLECT;
        const std::string label = Label(family, variant, floor);
        CALLGRIND_DUMP_STATS_AT(label.c_str());
        std::printf("%s %d\n", label.c_str(), kCallgrindRounds);
      }
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (!allocations::CountOpenSsl()) {
    std::fprintf(stderr, "OpenSSL allocated before its allocations could be counted\n");
    return 1;
  }
  hostenv::SetLogEcho(false);
  Vomaxel vomaxel;
  std::string keys = inputs::KeyText();
  vomaxel.SetSecureKey(keys);
  const std::vector<cases::Family> families = cases::Families(vomaxel);
  if (!FloorsMatch(families)) return 1;

  if (argc == 2 && std::strcmp(argv[1], "--instructions") == 0) {
    CountInstructions(families);
    return 0;
  }
  Register(families);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
