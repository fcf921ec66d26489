// Fails a chosen heap allocation, for tests of what the plug-in does when the
// process runs out of memory. Linking this into a host executable interposes
// operator new and new[] (which then throw std::bad_alloc) and malloc, calloc
// and realloc (which then return null, as jsoncpp's string buffers see it).
// Allocations made by libcrypto are neither counted nor failed: the cipher
// reports its own failures as such.
//
// It also interposes operator delete, which can refuse to free a block that
// still holds a secret, for tests of what the plug-in leaves of a key.

#ifndef VOMAXEL_TESTS_SUPPORT_ALLOCATIONFAULTS_H_
#define VOMAXEL_TESTS_SUPPORT_ALLOCATIONFAULTS_H_

#include <cstddef>
#include <string>
#include <vector>

namespace faults {

// Starts counting allocations; the `failAt`-th one fails (0: none does).
void Arm(unsigned long failAt);

// Stops counting and returns how many allocations were counted.
unsigned long Disarm();

// While `secrets` is not null, operator delete keeps (leaks) and counts every
// block that holds one of them. Returns how many it kept since the last call.
unsigned long WatchFreedBlocks(const std::vector<std::string>* secrets);

// Whether `size` bytes at `memory` hold `secret`. Reads memory that the
// sanitizers may take for dead (a freed block, a finished thread's stack).
bool Holds(const void* memory, std::size_t size, const std::string& secret);

}  // namespace faults

#endif  // VOMAXEL_TESTS_SUPPORT_ALLOCATIONFAULTS_H_
