#include "AllocationCount.h"

#include <openssl/crypto.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<long long> g_cxx(0);
std::atomic<long long> g_openssl(0);

void* Allocate(std::size_t size) {
  g_cxx.fetch_add(1, std::memory_order_relaxed);
  return std::malloc(size != 0 ? size : 1);
}

void* AllocateAligned(std::size_t size, std::align_val_t alignment) {
  g_cxx.fetch_add(1, std::memory_order_relaxed);
  const std::size_t align = static_cast<std::size_t>(alignment);
  return std::aligned_alloc(align, (size + align - 1) / align * align);
}

void* OpenSslMalloc(std::size_t size, const char*, int) {
  g_openssl.fetch_add(1, std::memory_order_relaxed);
  return std::malloc(size);
}

void* OpenSslRealloc(void* pointer, std::size_t size, const char*, int) {
  g_openssl.fetch_add(1, std::memory_order_relaxed);
  return std::realloc(pointer, size);
}

void OpenSslFree(void* pointer, const char*, int) { std::free(pointer); }

}  // namespace

namespace allocations {

bool CountOpenSsl() {
  return CRYPTO_set_mem_functions(OpenSslMalloc, OpenSslRealloc, OpenSslFree) == 1;
}

Counts Now() {
  Counts counts;
  counts.cxx = g_cxx.load(std::memory_order_relaxed);
  counts.openssl = g_openssl.load(std::memory_order_relaxed);
  return counts;
}

}  // namespace allocations

void* operator new(std::size_t size) {
  if (void* pointer = Allocate(size)) return pointer;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new(std::size_t size, std::align_val_t alignment) {
  if (void* pointer = AllocateAligned(size, alignment)) return pointer;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
  return operator new(size, alignment);
}
void operator delete(void* pointer) noexcept { std::free(pointer); }
void operator delete[](void* pointer) noexcept { std::free(pointer); }
void operator delete(void* pointer, std::size_t) noexcept { std::free(pointer); }
void operator delete[](void* pointer, std::size_t) noexcept { std::free(pointer); }
void operator delete(void* pointer, std::align_val_t) noexcept { std::free(pointer); }
void operator delete[](void* pointer, std::align_val_t) noexcept { std::free(pointer); }
void operator delete(void* pointer, std::size_t, std::align_val_t) noexcept { std::free(pointer); }
void operator delete[](void* pointer, std::size_t, std::align_val_t) noexcept {
  std::free(pointer);
}
