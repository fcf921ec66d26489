// The benchmark: every case's operation and floor under Google Benchmark,
// timed side by side, with the allocations of one call of each as counters;
// or, with --instructions, each run a fixed number of times between callgrind
// dumps.
//
// The host stand-in's log echo is off: a log line costs the plug-in's call
// into the host's module and the stand-in's formatting of it, but no write.
#include <benchmark/benchmark.h>
#include <valgrind/callgrind.h>

#include <time.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "AllocationCount.h"
#include "Cases.h"
#include "HostEnv.h"
#include "Inputs.h"
#include "Vomaxel.h"

namespace {

const int kCallgrindRounds = 10;
const double kBatchNanoseconds = 100000;

const cases::Variant& VariantOf(const cases::Family& family, const benchmark::State& state) {
  if (family.variants.size() == 1) return family.variants.front();
  for (const cases::Variant& variant : family.variants) {
    if (variant.size == state.range(0)) return variant;
  }
  return family.variants.front();
}

double CpuNanoseconds() {
  timespec now;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return 1e9 * static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec);
}

double TimeBatch(const cases::Run& run, cases::Output& out, int calls) {
  const double start = CpuNanoseconds();
  for (int call = 0; call < calls; ++call) run(out);
  return CpuNanoseconds() - start;
}

// Calls per batch: enough to fill kBatchNanoseconds, so that reading the
// clock (a system call, about a microsecond) costs next to nothing. Fixed on first use, as every repetition of a
// case must run the same number of iterations.
int BatchSize(const cases::Variant& variant, cases::Output& out) {
  static std::map<const cases::Variant*, int> sizes;
  int& size = sizes[&variant];
  if (size == 0) {
    const int probe = 8;
    const double perCall = TimeBatch(variant.op, out, probe) / probe;
    size = perCall >= kBatchNanoseconds ? 1 : static_cast<int>(kBatchNanoseconds / perCall) + 1;
  }
  return size;
}

void CountAllocations(benchmark::State& state, const char* side, const cases::Run& run,
                      cases::Output& out) {
  const allocations::Counts made = allocations::Of([&] { run(out); });
  state.counters[std::string(side) + "_allocs"] = static_cast<double>(made.all);
  state.counters[std::string(side) + "_openssl_allocs"] = static_cast<double>(made.openssl);
}

// The operation and its floor in alternating batches, each on the thread's
// CPU clock: both meet the same state of the machine, which changes pace now
// and then. The benchmark's own time is the operation's.
void Measure(benchmark::State& state, const cases::Family& family) {
  const cases::Variant& variant = VariantOf(family, state);
  cases::Output opOut;
  cases::Output floorOut;
  variant.op(opOut);  // first-use costs stay out of the figures
  CountAllocations(state, "op", variant.op, opOut);
  const bool paired = static_cast<bool>(variant.floor);
  if (paired) {
    variant.floor(floorOut);
    CountAllocations(state, "floor", variant.floor, floorOut);
  }
  const int batch = BatchSize(variant, opOut);
  double opNanoseconds = 0;
  double floorNanoseconds = 0;
  long long calls = 0;
  bool floorFirst = false;
  while (state.KeepRunningBatch(batch)) {
    double floorBatch = 0;
    if (paired && floorFirst) floorBatch = TimeBatch(variant.floor, floorOut, batch);
    const double opBatch = TimeBatch(variant.op, opOut, batch);
    if (paired && !floorFirst) floorBatch = TimeBatch(variant.floor, floorOut, batch);
    floorFirst = !floorFirst;
    opNanoseconds += opBatch;
    floorNanoseconds += floorBatch;
    calls += batch;
    state.SetIterationTime(opBatch / 1e9);
  }
  state.counters["op_ns"] = opNanoseconds / static_cast<double>(calls);
  if (paired) {
    state.counters["floor_ns"] = floorNanoseconds / static_cast<double>(calls);
    state.counters["ratio"] = opNanoseconds / floorNanoseconds;
  }
  if (family.growth) state.SetComplexityN(state.range(0));
}

void Register(const std::vector<cases::Family>& families) {
  for (const cases::Family& family : families) {
    benchmark::internal::Benchmark* benchmark = benchmark::RegisterBenchmark(
        family.name.c_str(), [&family](benchmark::State& state) { Measure(state, family); });
    benchmark->UseManualTime();
    if (family.variants.size() > 1 || family.variants.front().size != 0) {
      benchmark->ArgName(family.unit);
      for (const cases::Variant& variant : family.variants) benchmark->Arg(variant.size);
    }
    if (family.growth) benchmark->Complexity(benchmark::oN);
  }
}

// "<family>[/<unit>:<size>]/op" or ".../floor", as the benchmark names the case.
std::string Label(const cases::Family& family, const cases::Variant& variant, bool floor) {
  std::string label = family.name;
  if (variant.size != 0) label += "/" + family.unit + ":" + std::to_string(variant.size);
  return label + (floor ? "/floor" : "/op");
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
