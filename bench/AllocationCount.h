// Counts heap allocations in the benchmark process. The counting hook is the
// C allocator itself: operator new, jsoncpp (which keeps its strings in
// malloc'd blocks) and OpenSSL all reach it, so nothing is missed. OpenSSL's
// share is counted on its own through its memory hooks.

#ifndef VOMAXEL_BENCH_ALLOCATIONCOUNT_H_
#define VOMAXEL_BENCH_ALLOCATIONCOUNT_H_

namespace allocations {

struct Counts {
  long long all = 0;      // every block allocated (malloc, calloc, realloc, new)
  long long openssl = 0;  // of them, OpenSSL's
};

// Routes OpenSSL's allocations through its counter. Must run before OpenSSL
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
  made.all = after.all - before.all;
  made.openssl = after.openssl - before.openssl;
  return made;
}

}  // namespace allocations

#endif  // VOMAXEL_BENCH_ALLOCATIONCOUNT_H_
