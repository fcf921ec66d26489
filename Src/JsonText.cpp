#include "JsonText.h"

#include <algorithm>
#include <cstring>
#include <new>

// jsoncpp before 1.8: the old reader counts its nesting in one variable of
// the whole process, which every parse sets to zero at its start. Nothing
// below for it is built against a later jsoncpp.
#if JSONCPP_VERSION_HEXA < 0x01080000
#define VOMAXEL_READER_DEPTH_IS_SHARED
#include <mutex>
#endif

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

// jsoncpp throws Json::RuntimeError both for nesting deeper than the reader's
// limit and for a failed malloc of a string's buffer; only the message tells
// the two apart.
bool IsAllocationFailure(const Json::RuntimeError& error) {
  return std::strstr(error.what(), "Failed to allocate") != NULL;
}

#ifdef VOMAXEL_READER_DEPTH_IS_SHARED

// Two parses at once would count each other's levels, and fail an ordinary
// text, or set each other's count back to zero, and recurse past the limit
// into the end of the stack. The plug-in's own parses take turns; a host's
// parse on another thread can still reset the count, so a text is never
// given to the reader deeper than its limit either.
std::mutex readerTurn;
const int kReaderDepthLimit = 1000;  // its stackLimit_g

// Just past the "[" or "{" at which the reader, reading [p, end), would open
// its (limit + 1)th nested value; `end` where the text's values stay within
// the limit. Strings and comments are skipped as the reader's tokens skip
// them, and the reader stops at a zero byte between tokens and once the
// root is closed.
const char* PastDepthLimit(const char* p, const char* end, int limit) {
  static const char kBlockEnd[] = "*/";
  static const char kLineEnd[] = "\r\n";
  int depth = 0;
  while (p != end) {
    switch (*p++) {
      case '\0':
        return end;
      case '"':
        while (p != end) {
          const char c = *p++;
          if (c == '"') break;
          if (c == '\\' && p != end) ++p;
        }
        break;
      case '/':  // the reader takes the next byte as the comment's kind
        if (p == end) break;
        if (*p == '*') {
          p = std::search(p + 1, end, kBlockEnd, kBlockEnd + 2);
          p = p == end ? end : p + 2;
        } else if (*p == '/') {
          p = std::find_first_of(p + 1, end, kLineEnd, kLineEnd + 2);
        } else {
          ++p;
        }
        break;
      case '[':
      case '{':
        if (++depth > limit) return p;
        break;
      case ']':
      case '}':
        if (--depth <= 0) return end;
        break;
    }
  }
  return end;
}

// The reader's parse of [begin, end), stack-safe whatever another thread's
// parse does to the shared count. A text deeper than the limit is first read
// only up to the value past the limit: the reader throws there when it gets
// that far, as it would on the whole text. Where it stops earlier, at an
// error or after a scalar root, the whole text is read as usual: after that
// point the reader opens no more values.
bool ReadValue(const char* begin, const char* end, const port::Features& features,
               Json::Value& root) {
  std::lock_guard<std::mutex> turn(readerTurn);
  const char* cut = PastDepthLimit(begin, end, kReaderDepthLimit);
  if (cut != end) {
    port::Reader probe(features);
    Json::Value partial;
    probe.parse(begin, cut, partial, true);
    // Reaching the cut without a throw means another parse reset the count.
    for (const port::Reader::StructuredError& error : probe.getStructuredErrors()) {
      if (error.offset_start >= cut - begin) {
        throw Json::RuntimeError("Exceeded stackLimit in readValue().");
      }
    }
  }
  port::Reader reader(features);
  return reader.parse(begin, end, root, true);
}

#else

bool ReadValue(const char* begin, const char* end, const port::Features& features,
               Json::Value& root) {
  port::Reader reader(features);
  return reader.parse(begin, end, root, true);
}

#endif  // VOMAXEL_READER_DEPTH_IS_SHARED

}  // namespace

bool ParseJson(const char* begin, const char* end, const port::Features& features,
               Json::Value& root) {
  bool parsed;
  try {
    parsed = ReadValue(begin, end, features, root);
  } catch (const Json::RuntimeError& error) {
    if (IsAllocationFailure(error)) throw std::bad_alloc();
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

const Json::Value* FindMember(const Json::Value& object, const char* key) {
  return object.find(key, key + std::strlen(key));
}

const Json::Value& MemberOr(const Json::Value& object, const char* key,
                            const Json::Value& fallback) {
  const Json::Value* member = FindMember(object, key);
  return member != NULL ? *member : fallback;
}

}  // namespace vomaxel
