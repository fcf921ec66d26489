// Loading the plug-in into a process that does not supply the host's symbols
// (constants, log framework, libcrypto) must fail at dlopen time.
#include <dlfcn.h>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  void* handle = dlopen(argv[1], RTLD_NOW);
  if (handle != nullptr) {
    std::fprintf(stderr, "FAIL: %s loaded without a host\n", argv[1]);
    return 1;
  }
  const char* error = dlerror();
  if (std::strstr(error, "undefined symbol") == nullptr) {
    std::fprintf(stderr, "FAIL: unexpected error: %s\n", error);
    return 1;
  }
  std::printf("refused as expected: %s\n", error);
  return 0;
}
