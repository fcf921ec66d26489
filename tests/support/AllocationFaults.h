// Fails a chosen heap allocation, for tests of what the plug-in does when the
// process runs out of memory. Linking this into a host executable interposes
// operator new and new[] (which then throw std::bad_alloc) and malloc, calloc
// and realloc (which then return null, as jsoncpp's string buffers see it).
// Allocations made by libcrypto are neither counted nor failed: the cipher
// reports its own failures as such.

#ifndef VOMAXEL_TESTS_SUPPORT_ALLOCATIONFAULTS_H_
#define VOMAXEL_TESTS_SUPPORT_ALLOCATIONFAULTS_H_

namespace faults {

// Starts counting allocations; the `failAt`-th one fails (0: none does).
void Arm(unsigned long failAt);

// Stops counting and returns how many allocations were counted.
unsigned long Disarm();

}  // namespace faults

#endif  // VOMAXEL_TESTS_SUPPORT_ALLOCATIONFAULTS_H_
