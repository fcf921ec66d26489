// jsoncpp before 1.8: the old reader counts its nesting in one variable of
// the whole process, which every parse sets to zero at its start. Built only
// against such a release (VOMAXEL_READER_DEPTH_IS_SHARED); its ReadJson
// (JsonReader.h) lets the plug-in's parses take turns and decides the
// nesting limit itself.

#ifndef VOMAXEL_SRC_SHAREDDEPTHREADER_H_
#define VOMAXEL_SRC_SHAREDDEPTHREADER_H_

#include "JsonCpp.h"

namespace vomaxel {

// Whether the old reader, reading [begin, end) on one thread, throws at its
// nesting limit: the decision ReadJson takes for it. The differential fuzz
// target holds it against the reader itself.
bool PassesReaderDepthLimit(const char* begin, const char* end, const port::Features& features);

}  // namespace vomaxel

#endif  // VOMAXEL_SRC_SHAREDDEPTHREADER_H_
