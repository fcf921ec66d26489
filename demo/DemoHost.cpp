// A minimal host: loads the plug-in as the receiver does, reads the bundled
// match info JSON into a record and writes the record back as JSON.
#include <dlfcn.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "IVomaxel.h"

int main(int argc, char** argv) {
  const char* pluginPath = argc > 1 ? argv[1] : VOMAXEL_PLUGIN_PATH;
  const char* samplePath = argc > 2 ? argv[2] : VOMAXEL_SAMPLE_PATH;

  void* plugin = dlopen(pluginPath, RTLD_NOW);
  if (plugin == nullptr) {
    std::fprintf(stderr, "cannot load %s: %s\n", pluginPath, dlerror());
    return 1;
  }
  auto createObject = reinterpret_cast<IVomaxel* (*)()>(dlsym(plugin, "create"));
  auto destroyObject = reinterpret_cast<void (*)(IVomaxel*)>(dlsym(plugin, "destroy"));
  if (createObject == nullptr || destroyObject == nullptr) {
    std::fprintf(stderr, "%s lacks create or destroy\n", pluginPath);
    return 1;
  }

  std::ifstream sample(samplePath);
  if (!sample) {
    std::fprintf(stderr, "cannot read %s\n", samplePath);
    return 1;
  }
  std::ostringstream text;
  text << sample.rdbuf();

  IVomaxel* vomaxel = createObject();
  ACR_MATCH_INFO record{};
  const bool parsed = vomaxel->ParserACRInfoJson(text.str().c_str(), record);
  if (parsed) {
    std::fputs(vomaxel->MakeACRInfoJson(MATCHING_ENGINE_TYPE_VIDEO, record).c_str(), stdout);
  }
  destroyObject(vomaxel);
  return parsed ? 0 : 1;
}
