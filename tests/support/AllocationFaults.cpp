// The interposed allocation functions forward to the next definition in the
// process (the C library's, or a sanitizer's), found with dlsym on first use.
#include "AllocationFaults.h"

#include <dlfcn.h>
#include <link.h>
#include <malloc.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>

#if __has_include(<valgrind/memcheck.h>)
#include <valgrind/memcheck.h>
#else
#define VALGRIND_MAKE_MEM_DEFINED(address, size) ((void)0)
#endif

namespace {

using Malloc = void* (*)(std::size_t);
using Calloc = void* (*)(std::size_t, std::size_t);
using Realloc = void* (*)(void*, std::size_t);
using New = void* (*)(std::size_t);
using Delete = void (*)(void*);

struct Next {
  Malloc malloc;
  Calloc calloc;
  Realloc realloc;
  New newObject;
  New newArray;
  Delete deleteObject;
};

Next g_next;

bool g_armed = false;
bool g_inNew = false;  // the malloc behind an operator new is not counted again
unsigned long g_count = 0;
unsigned long g_failAt = 0;
std::uintptr_t g_cryptoBegin = 0;
std::uintptr_t g_cryptoEnd = 0;
const std::vector<std::string>* g_secrets = nullptr;
unsigned long g_keptBlocks = 0;

void* NextSymbol(const char* name) {
  void* symbol = dlsym(RTLD_NEXT, name);
  if (symbol == nullptr) std::abort();
  return symbol;
}

extern "C" void* __libc_malloc(std::size_t);
extern "C" void* __libc_calloc(std::size_t, std::size_t);

// Set while dlsym runs: a C library whose dlsym allocates (glibc before 2.28
// does, for its error record) is served by its own allocator meanwhile.
bool g_resolving = false;

void Resolve() {
  g_resolving = true;
  // operator new's mangled name encodes std::size_t: unsigned long or unsigned int.
  const bool lp64 = std::is_same<std::size_t, unsigned long>::value;
  g_next.malloc = reinterpret_cast<Malloc>(NextSymbol("malloc"));
  g_next.calloc = reinterpret_cast<Calloc>(NextSymbol("calloc"));
  g_next.realloc = reinterpret_cast<Realloc>(NextSymbol("realloc"));
  g_next.newObject = reinterpret_cast<New>(NextSymbol(lp64 ? "_Znwm" : "_Znwj"));
  g_next.newArray = reinterpret_cast<New>(NextSymbol(lp64 ? "_Znam" : "_Znaj"));
  g_next.deleteObject = reinterpret_cast<Delete>(NextSymbol("_ZdlPv"));
  g_resolving = false;
}

const Next& next() {
  if (g_next.deleteObject == nullptr) Resolve();
  return g_next;
}

// Whether the allocation asked for from `caller` is the one to fail.
bool Fails(void* caller) {
  if (!g_armed || g_inNew) return false;
  const std::uintptr_t address = reinterpret_cast<std::uintptr_t>(caller);
  if (address >= g_cryptoBegin && address < g_cryptoEnd) return false;
  if (++g_count != g_failAt) return false;
  errno = ENOMEM;
  return true;
}

// Marks the call of the allocator behind an operator new.
struct InNew {
  InNew() { g_inNew = true; }
  ~InNew() { g_inNew = false; }
};

int FindCrypto(dl_phdr_info* info, std::size_t, void*) {
  if (std::strstr(info->dlpi_name, "libcrypto.so") == nullptr) return 0;
  for (int i = 0; i < info->dlpi_phnum; ++i) {
    const ElfW(Phdr)& segment = info->dlpi_phdr[i];
    if (segment.p_type != PT_LOAD) continue;
    const std::uintptr_t begin = info->dlpi_addr + segment.p_vaddr;
    if (g_cryptoBegin == 0 || begin < g_cryptoBegin) g_cryptoBegin = begin;
    if (begin + segment.p_memsz > g_cryptoEnd) g_cryptoEnd = begin + segment.p_memsz;
  }
  return 1;
}

}  // namespace

namespace faults {

void Arm(unsigned long failAt) {
  if (g_cryptoEnd == 0) dl_iterate_phdr(FindCrypto, nullptr);
  g_count = 0;
  g_failAt = failAt;
  g_armed = true;
}

unsigned long Disarm() {
  g_armed = false;
  return g_count;
}

unsigned long WatchFreedBlocks(const std::vector<std::string>* secrets) {
  g_secrets = secrets;
  const unsigned long kept = g_keptBlocks;
  g_keptBlocks = 0;
  return kept;
}

__attribute__((no_sanitize_address)) bool Holds(const void* memory, std::size_t size,
                                                const std::string& secret) {
  VALGRIND_MAKE_MEM_DEFINED(memory, size);
  const volatile unsigned char* bytes = static_cast<const unsigned char*>(memory);
  for (std::size_t at = 0; at + secret.size() <= size; ++at) {
    std::size_t i = 0;
    while (i < secret.size() && bytes[at + i] == static_cast<unsigned char>(secret[i])) ++i;
    if (i == secret.size()) return true;
  }
  return false;
}

}  // namespace faults

extern "C" {

void* malloc(std::size_t size) {
  if (g_resolving) return __libc_malloc(size);
  return Fails(__builtin_return_address(0)) ? nullptr : next().malloc(size);
}

void* calloc(std::size_t count, std::size_t size) {
  if (g_resolving) return __libc_calloc(count, size);
  return Fails(__builtin_return_address(0)) ? nullptr : next().calloc(count, size);
}

void* realloc(void* pointer, std::size_t size) {
  return Fails(__builtin_return_address(0)) ? nullptr : next().realloc(pointer, size);
}

}  // extern "C"

void* operator new(std::size_t size) {
  if (Fails(__builtin_return_address(0))) throw std::bad_alloc();
  const InNew scope;
  return next().newObject(size);
}

void* operator new[](std::size_t size) {
  if (Fails(__builtin_return_address(0))) throw std::bad_alloc();
  const InNew scope;
  return next().newArray(size);
}

void operator delete(void* pointer) noexcept {
  if (pointer != nullptr && g_secrets != nullptr) {
    for (const std::string& secret : *g_secrets) {
      if (faults::Holds(pointer, malloc_usable_size(pointer), secret)) {
        ++g_keptBlocks;
        return;
      }
    }
  }
  next().deleteObject(pointer);
}

void operator delete(void* pointer, std::size_t) noexcept { operator delete(pointer); }
