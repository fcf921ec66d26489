#include "JsonText.h"

namespace vomaxel {

bool ParseJson(const std::string& text, const Json::Features& features, Json::Value& root) {
  Json::Reader reader(features);
  try {
    return reader.parse(text, root, true);
  } catch (const Json::Exception&) {
    root = Json::Value();
    return false;
  }
}

}  // namespace vomaxel
