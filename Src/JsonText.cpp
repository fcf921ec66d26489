#include "JsonText.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "JsonNesting.h"
#include "JsonReader.h"

namespace vomaxel {

namespace {

const Json::CommentPlacement kPlacements[] = {Json::commentBefore, Json::commentAfterOnSameLine,
                                              Json::commentAfter};

// Whether `comments`, one or more comments as the reader keeps them, ends
// inside a block comment. The reader accepts a block comment without its own
// closing "*/" at the very end of a text, such as "/*/".
bool EndsInsideBlockComment(const std::string& comments) {
  std::string::size_type i = 0;
  while ((i = comments.find('/', i)) != std::string::npos && i + 1 < comments.size()) {
    if (comments[i + 1] == '/') {
      i = comments.find('\n', i + 2);
      if (i == std::string::npos) return false;
    } else if (comments[i + 1] == '*') {
      i = comments.find("*/", i + 2);
      if (i == std::string::npos) return true;
      i += 2;
    } else {
      ++i;
    }
  }
  return false;
}

// Mends the comments on `value` and below that the styled writer would turn
// into text that no longer parses: an unclosed block comment (written back,
// it would swallow the rest of the report) gets its "*/", and a line comment
// after a value on the same line loses its trailing blanks (the writer takes
// a blank at the end of its text for indentation already written and puts the
// next member on the comment's line). Every other comment stays as it is.
void MendComments(Json::Value& value) {
  for (const Json::CommentPlacement placement : kPlacements) {
    if (!value.hasComment(placement)) continue;
    std::string comment = value.getComment(placement);
    const std::string::size_type length = comment.size();
    if (EndsInsideBlockComment(comment)) comment += "*/";
    if (placement == Json::commentAfterOnSameLine && comment.compare(0, 2, "//") == 0) {
      comment.erase(comment.find_last_not_of(' ') + 1);
    }
    if (comment.size() != length) value.setComment(comment, placement);
  }
  if (value.isArray() || value.isObject()) {
    for (Json::Value& child : value) MendComments(child);
  }
}

}  // namespace

bool ParseJson(const char* begin, const char* end, const port::Features& features,
               Json::Value& root) {
  // Deeper than the plug-in's limit, a text is refused as one past the
  // reader's own limit is.
  if (kNestingLimit != 0 && NestsDeeperThan(begin, end, kNestingLimit)) {
    root = Json::Value();
    return false;
  }
  bool parsed;
  try {
    parsed = ReadJson(begin, end, features, root);
  } catch (const Json::RuntimeError& error) {
    if (IsAllocationFailure(error)) RethrowForHost();
    root = Json::Value();
    return false;
  } catch (const Json::LogicError&) {
    root = Json::Value();
    return false;
  }
  // Every comment starts with "/": most texts need no walk at all.
  if (features.allowComments_ && std::find(begin, end, '/') != end) MendComments(root);
  return parsed;
}

void RethrowForHost() {
  try {
    throw;
  } catch (const Json::RuntimeError&) {
    throw std::bad_alloc();
  }
}

const Json::Value* FindMember(const Json::Value& object, const char* key) {
  return object.find(key, key + std::strlen(key));
}

const Json::Value& MemberOr(const Json::Value& object, const char* key,
                            const Json::Value& fallback) {
  const Json::Value* member = FindMember(object, key);
  return member != NULL ? *member : fallback;
}

}  // namespace vomaxel
