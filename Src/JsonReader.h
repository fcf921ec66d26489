// The old reader's parse, as every operation of the plug-in makes it. It has
// two builds, and CMake compiles the one that fits the jsoncpp found:
// JsonReader.cpp from jsoncpp 1.8 on, whose reader counts each parse's
// nesting on its own, and SharedDepthReader.cpp before 1.8, whose reader
// counts it in one variable of the whole process.

#ifndef VOMAXEL_SRC_JSONREADER_H_
#define VOMAXEL_SRC_JSONREADER_H_

#include <cstring>

#include "JsonCpp.h"

namespace vomaxel {

// Json::Reader::parse of [begin, end) with `features`, comments collected:
// its result, or the Json::RuntimeError it throws at its nesting limit or
// for a failed allocation of a string's buffer.
bool ReadJson(const char* begin, const char* end, const port::Features& features,
              Json::Value& root);

// jsoncpp throws Json::RuntimeError both for nesting deeper than the reader's
// limit and for a failed malloc of a string's buffer; only the message tells
// the two apart.
inline bool IsAllocationFailure(const Json::RuntimeError& error) {
  return std::strstr(error.what(), "Failed to allocate") != NULL;
}

}  // namespace vomaxel

#endif  // VOMAXEL_SRC_JSONREADER_H_
