// Counts heap allocations in the benchmark process: every global operator new
// (the plug-in, jsoncpp, the C++ library) and every allocation OpenSSL makes
// through its memory hooks, separately.

#ifndef VOMAXEL_BENCH_ALLOCATIONCOUNT_H_
#define VOMAXEL_BENCH_ALLOCATIONCOUNT_H_

namespace allocations {

struct Counts {
  long long cxx = 0;      // operator new / new[]
  long long openssl = 0;  // OpenSSL's malloc and realloc
};

// Routes OpenSSL's allocations through the counter. Must run before OpenSSL
// allocates anything; returns false when that was too late.
bool CountOpenSsl();

// Allocations so far.
Counts Now();

// Allocations made by one call of `run`.
template <typename Run>
Counts Of(Run&& run) {
  const Counts before = Now();
  run();
  const Counts after = Now();
  Counts made;
  made.cxx = after.cxx - before.cxx;
  made.openssl = after.openssl - before.openssl;
  return made;
}

}  // namespace allocations

#endif  // VOMAXEL_BENCH_ALLOCATIONCOUNT_H_
