// The smallest host of the libVomaxel.so plug-in, built against the installed
// libvomaxel-dev package: it supplies what the plug-in takes from its host,
// loads the plug-in, hands it the keys and decrypts one server answer (event
// information) read from standard input.
//   sample-host OLD_KEY,CURRENT_KEY < answer.json
// VOMAXEL_PLUGIN, the plug-in's installed path, comes from the package:
// Vomaxel_PLUGIN in CMake, `pkg-config --variable=plugin vomaxel` otherwise.
#include <dlfcn.h>

#include <cstdarg>
#include <cstdio>
#include <iostream>
#include <iterator>
#include <string>

#include "Dravlog.h"
#include "IVomaxel.h"

// The texts the plug-in writes for absent, unknown and zero values, and
// between the values of several matches.
const char* ACR_STRING_EMPTY = "";
const char* ACR_STRING_UNKNOWN = "unknown";
const char* ACR_STRING_ZERO = "0";
const char* ACR_STRING_MULTI_DELIMITER = "|";

// The host's side of the log framework: the plug-in's lines go to standard
// error; the common module has no output here.
DravlogOutput* Dravlog::DebugIO = NULL;
Dravlog::Dravlog() {}
void Dravlog::Reset() {}
void Dravlog::t_SetDebugLevel(unsigned int) {}
void Dravlog::t_SetDebugModule(unsigned long, bool) {}
void Dravlog::t_AddModule(const char*, int) {}

DravlogDunrik::~DravlogDunrik() {}
void DravlogDunrik::Reset() {}
void DravlogDunrik::t_Print(unsigned long, unsigned long level, const char* format,
                            va_list* args) {
  std::fprintf(stderr, "[%lu] ", level);
  std::vfprintf(stderr, format, *args);
  std::fputc('\n', stderr);
}
void DravlogDunrik::t_PrintR(unsigned long, unsigned long, const char* format, va_list* args) {
  std::vfprintf(stderr, format, *args);
}
void DravlogDunrik::t_InitModule() {}
void DravlogDunrik::t_SetDebugLevel(unsigned int) {}
void DravlogDunrik::t_SetDebugModule(unsigned long, bool) {}
bool DravlogDunrik::t_IsCommonModule() { return false; }

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: " << argv[0] << " OLD_KEY,CURRENT_KEY < answer.json\n";
    return 2;
  }
  void* plugin = dlopen(VOMAXEL_PLUGIN, RTLD_NOW);
  if (plugin == NULL) {
    std::cerr << dlerror() << '\n';
    return 1;
  }
  typedef IVomaxel* (*Create)();
  typedef void (*Destroy)(IVomaxel*);
  Create create = reinterpret_cast<Create>(dlsym(plugin, "create"));
  Destroy destroy = reinterpret_cast<Destroy>(dlsym(plugin, "destroy"));
  if (create == NULL || destroy == NULL) {
    std::cerr << VOMAXEL_PLUGIN << " lacks create or destroy\n";
    return 1;
  }

  IVomaxel* vomaxel = create();
  std::string keys = argv[1];
  vomaxel->SetSecureKey(keys);
  const std::string answer((std::istreambuf_iterator<char>(std::cin)),
                           std::istreambuf_iterator<char>());
  std::cout << vomaxel->DecryptEachEventInfo(answer);
  destroy(vomaxel);
  return 0;
}
