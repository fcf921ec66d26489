// Parsing helpers shared by every operation that reads JSON text.

#ifndef VOMAXEL_SRC_JSONTEXT_H_
#define VOMAXEL_SRC_JSONTEXT_H_

#include <string>

#include <json/json.h>

namespace vomaxel {

// Parses `text` as a whole with comment collection on, as Json::Reader::parse
// does, and returns its result. The reader throws on nesting deeper than its
// limit; that counts as a failed parse and leaves `root` null.
bool ParseJson(const std::string& text, const Json::Features& features, Json::Value& root);

}  // namespace vomaxel

#endif  // VOMAXEL_SRC_JSONTEXT_H_
