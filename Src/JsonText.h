// Parsing helpers shared by every operation that reads JSON text.

#ifndef VOMAXEL_SRC_JSONTEXT_H_
#define VOMAXEL_SRC_JSONTEXT_H_

#include <string>

#include "JsonCpp.h"

namespace vomaxel {

// Parses the text [begin, end) as a whole with comment collection on, as
// Json::Reader::parse does, and returns its result. The reader throws on
// nesting deeper than its limit; that counts as a failed parse and leaves
// `root` null. A text that nests deeper than the plug-in's own limit
// (kNestingLimit, JsonNesting.h), when the build sets one, is refused in the
// same way before the reader sees it: its recursion then fits a small thread
// stack. Built against jsoncpp before 1.8, whose reader counts nesting
// for the whole process, the plug-in's parses take turns and decide the limit
// themselves: the reader is never given a text that takes it past its limit
// (see SharedDepthReader.h).
//
// jsoncpp reports a failed allocation of a string's buffer as
// Json::RuntimeError too; here that becomes std::bad_alloc (RethrowForHost).
//
// Where the features allow comments, the comments kept on `root` are those of
// the text, except two forms the reader accepts but Json::StyledWriter cannot
// write back as JSON, which are mended (see MendComments in the .cpp file).
bool ParseJson(const char* begin, const char* end, const port::Features& features,
               Json::Value& root);

// Passes the exception being handled on to the host as it expects it. A
// Json::RuntimeError that reaches an operation can only be jsoncpp's report of
// a failed allocation (ParseJson keeps the reader's other one, its nesting
// limit): it becomes std::bad_alloc. Anything else goes on as it is. Every
// operation that calls jsoncpp ends in `catch (...) { RethrowForHost(); }`.
[[noreturn]] void RethrowForHost();

// ParseJson of the whole of `text`, zero bytes included.
inline bool ParseJson(const std::string& text, const port::Features& features,
                      Json::Value& root) {
  return ParseJson(text.data(), text.data() + text.size(), features, root);
}

// The member `key` of `object`, or null where absent: what Json::Value::get
// finds, without copying it. Throws, as get does, where `object` is neither an
// object nor null.
const Json::Value* FindMember(const Json::Value& object, const char* key);

// Json::Value::get(key, fallback), without copying the member.
const Json::Value& MemberOr(const Json::Value& object, const char* key,
                            const Json::Value& fallback);

}  // namespace vomaxel

#endif  // VOMAXEL_SRC_JSONTEXT_H_
