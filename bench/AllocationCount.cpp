#include "AllocationCount.h"

#include <openssl/crypto.h>

#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstdlib>

// glibc's allocator under its own names; the definitions below replace the
// public ones for the whole process (the executable exports its symbols).
extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* pointer, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
void __libc_free(void* pointer);
}

namespace {

std::atomic<long long> g_all(0);
std::atomic<long long> g_openssl(0);

void Count() { g_all.fetch_add(1, std::memory_order_relaxed); }

void* CountedOpenSslMalloc(size_t size) {
  g_openssl.fetch_add(1, std::memory_order_relaxed);
  return malloc(size);
}

void* CountedOpenSslRealloc(void* pointer, size_t size) {
  g_openssl.fetch_add(1, std::memory_order_relaxed);
  return realloc(pointer, size);
}

// OpenSSL's allocation hooks: 1.1.0 added the file and line of the call.
#if OPENSSL_VERSION_NUMBER < 0x10100000L
void* OpenSslMalloc(size_t size) { return CountedOpenSslMalloc(size); }
void* OpenSslRealloc(void* pointer, size_t size) { return CountedOpenSslRealloc(pointer, size); }
void OpenSslFree(void* pointer) { free(pointer); }
#else
void* OpenSslMalloc(size_t size, const char*, int) { return CountedOpenSslMalloc(size); }
void* OpenSslRealloc(void* pointer, size_t size, const char*, int) {
  return CountedOpenSslRealloc(pointer, size);
}
void OpenSslFree(void* pointer, const char*, int) { free(pointer); }
#endif

}  // namespace

extern "C" {

void* malloc(size_t size) noexcept {
  Count();
  return __libc_malloc(size);
}

void* calloc(size_t count, size_t size) noexcept {
  Count();
  return __libc_calloc(count, size);
}

void* realloc(void* pointer, size_t size) noexcept {
  Count();
  return __libc_realloc(pointer, size);
}

void* memalign(size_t alignment, size_t size) noexcept {
  Count();
  return __libc_memalign(alignment, size);
}

void* aligned_alloc(size_t alignment, size_t size) noexcept {
  Count();
  return __libc_memalign(alignment, size);
}

int posix_memalign(void** pointer, size_t alignment, size_t size) noexcept {
  Count();
  *pointer = __libc_memalign(alignment, size);
  return *pointer != nullptr ? 0 : ENOMEM;
}

void free(void* pointer) noexcept { __libc_free(pointer); }

}  // extern "C"

namespace allocations {

bool CountOpenSsl() {
  return CRYPTO_set_mem_functions(OpenSslMalloc, OpenSslRealloc, OpenSslFree) == 1;
}

Counts Now() {
  Counts counts;
  counts.all = g_all.load(std::memory_order_relaxed);
  counts.openssl = g_openssl.load(std::memory_order_relaxed);
  return counts;
}

}  // namespace allocations
