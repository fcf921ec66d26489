// The reader of jsoncpp 1.8 and later counts each parse's nesting on its own:
// parses on several threads need nothing of the plug-in.
#include "JsonReader.h"

static_assert(JSONCPP_VERSION_HEXA >= 0x01080000,
              "jsoncpp before 1.8 shares its reader's nesting count: build SharedDepthReader.cpp");

namespace vomaxel {

bool ReadJson(const char* begin, const char* end, const port::Features& features,
              Json::Value& root) {
  port::Reader reader(features);
  return reader.parse(begin, end, root, true);
}

}  // namespace vomaxel
