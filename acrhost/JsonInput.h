// JSON that acrhost reads and writes for itself (plain texts to encrypt,
// descriptions of report records). Texts meant for an operation never come
// through here: they reach the plug-in byte for byte.

#ifndef VOMAXEL_ACRHOST_JSONINPUT_H_
#define VOMAXEL_ACRHOST_JSONINPUT_H_

#include <json/value.h>

#include <string>

// Parses `text` as one JSON document; throws HostError naming `what` and the
// reader's complaint when it does not parse.
Json::Value ParseJsonInput(const std::string& text, const std::string& what);

// `value` as JSON text on one line.
std::string CompactJson(const Json::Value& value);

#endif  // VOMAXEL_ACRHOST_JSONINPUT_H_
