#include "SharedDepthReader.h"

#include <cstring>
#include <mutex>
#include <string>

#include "JsonReader.h"

static_assert(JSONCPP_VERSION_HEXA < 0x01080000,
              "jsoncpp 1.8 and later count nesting per parse: build JsonReader.cpp");

namespace vomaxel {

namespace {

// Two parses at once would count each other's levels, and fail an ordinary
// text, or set each other's count back to zero, and recurse past the limit
// into the end of the stack. The plug-in's own parses take turns; a host's
// parse on another thread can still reset the count, so the plug-in decides
// the limit itself and never gives the reader a text that takes it there.
std::mutex readerTurn;
const size_t kReaderDepthLimit = 1000;  // its stackLimit_g
// A host's parse on another thread can also add its levels to the count and
// make the reader throw within the limit: the text is read again.
const int kReadAttempts = 4;

// The old reader's tokens, read as its Reader::readToken reads them.
enum TokenKind {
  kObjectBegin, kObjectEnd, kArrayBegin, kArrayEnd, kComma, kColon,
  kString, kEmptyString, kNumber, kLiteral, kComment, kEndOfText, kError
};

class Tokens {
 public:
  Tokens(const char* begin, const char* end) : p_(begin), end_(end) {}

  TokenKind Next() {
    SkipBlanks();
    switch (Get()) {
      case '{': return kObjectBegin;
      case '}': return kObjectEnd;
      case '[': return kArrayBegin;
      case ']': return kArrayEnd;
      case ',': return kComma;
      case ':': return kColon;
      case '\0': return kEndOfText;  // a zero byte or the end of the text
      case '"': return String();
      case '/': return Comment();
      case 't': return Match("rue") ? kLiteral : kError;
      case 'f': return Match("alse") ? kLiteral : kError;
      case 'n': return Match("ull") ? kLiteral : kError;
      case '-': case '0': case '1': case '2': case '3': case '4':
      case '5': case '6': case '7': case '8': case '9':
        Number();
        return kNumber;
      default: return kError;
    }
  }

  // Reader::readArray's look-ahead past blanks for an empty array. Like the
  // reader, it reads the byte at the end of the text: every text the plug-in
  // parses ends at a zero byte.
  bool EmptyArray() {
    SkipBlanks();
    if (*p_ != ']') return false;
    ++p_;
    return true;
  }

  // A dropped value's placeholder (",", "]" or "}") is read again.
  void Unread() { --p_; }

 private:
  char Get() { return p_ == end_ ? '\0' : *p_++; }

  void SkipBlanks() {
    while (p_ != end_ && (*p_ == ' ' || *p_ == '\t' || *p_ == '\r' || *p_ == '\n')) ++p_;
  }

  bool Match(const char* rest) {
    const size_t length = std::strlen(rest);
    if (static_cast<size_t>(end_ - p_) < length || std::memcmp(p_, rest, length) != 0) return false;
    p_ += length;
    return true;
  }

  TokenKind String() {
    const char* const start = p_;
    char c = '\0';
    while (p_ != end_) {
      c = Get();
      if (c == '\\') Get();
      else if (c == '"') break;
    }
    if (c != '"') return kError;
    return p_ == start + 1 ? kEmptyString : kString;
  }

  TokenKind Comment() {
    const char kind = Get();
    if (kind == '*') {
      while (p_ != end_ && !(Get() == '*' && p_ != end_ && *p_ == '/')) {
      }
      return Get() == '/' ? kComment : kError;
    }
    if (kind != '/') return kError;
    while (p_ != end_) {
      const char c = Get();
      if (c == '\n') break;
      if (c == '\r') {
        if (p_ != end_ && *p_ == '\n') ++p_;
        break;
      }
    }
    return kComment;
  }

  void Digits() {
    while (p_ != end_ && *p_ >= '0' && *p_ <= '9') ++p_;
  }

  void Number() {
    Digits();
    if (p_ != end_ && *p_ == '.') {
      ++p_;
      Digits();
    }
    if (p_ != end_ && (*p_ == 'e' || *p_ == 'E')) {
      ++p_;
      if (p_ != end_ && (*p_ == '+' || *p_ == '-')) ++p_;
      Digits();
    }
  }

  const char* p_;
  const char* const end_;
};

// Whether the old reader, reading [begin, end) with `features` on one
// thread, throws at its nesting limit: whether it begins a value inside
// `limit` open values before its first error.
//
// This cannot be fooled, because it is the reader's own automaton, not a
// bracket count: it reads the same tokens as the reader (strings, comments,
// escapes and numbers end where the reader's end, see Tokens) and takes the
// same step on each as Reader::readValue, readObject and readArray of
// jsoncpp 1.7: comments after an object's member make the next token, whatever
// it is, its separator (only "}" ends the object; a "[" opens nothing, a "]"
// closes nothing), comments are skipped where those loops skip them whatever
// the features, "]" right after "[" and blanks is an empty array, a dropped
// placeholder is read again, and "}" where a name belongs ends the object
// only while the last name read is empty. So up to the reader's first error
// both hold the same stack of open values. At its first error the reader
// begins no more values; here the walk stops at every error a token shows,
// and goes on past a string or number the reader cannot decode (an escape, a
// numeric key): beyond an error it may only find a limit that the reader never
// reaches, on a text that fails either way.
bool ThrowsAtDepthLimit(const char* begin, const char* end, const Json::Features& features,
                        size_t limit) {
  Tokens tokens(begin, end);
  // One byte per open value: 'a' an array, 'o' an object whose last name read
  // is empty (or none yet), 'n' an object whose last name is not.
  std::string open;
  enum { kValue, kAfterValue, kName, kNameSeparator } step = kValue;
  for (;;) {
    TokenKind token;
    switch (step) {
      case kValue:
        if (open.size() >= limit) return true;
        do token = tokens.Next();
        while (token == kComment && features.allowComments_);
        switch (token) {
          case kObjectBegin:
            open += 'o';
            step = kName;
            break;
          case kArrayBegin:
            if (!tokens.EmptyArray()) open += 'a';
            else step = kAfterValue;
            break;
          case kString: case kEmptyString: case kNumber: case kLiteral:
            step = kAfterValue;
            break;
          case kComma: case kObjectEnd: case kArrayEnd:
            if (!features.allowDroppedNullPlaceholders_) return false;
            tokens.Unread();
            step = kAfterValue;
            break;
          default:
            return false;
        }
        break;
      case kAfterValue:
        if (open.empty()) return false;  // the root is read
        token = tokens.Next();
        if (open[open.size() - 1] == 'a') {
          while (token == kComment) token = tokens.Next();
          if (token == kArrayEnd) open.erase(open.size() - 1);
          else if (token == kComma) step = kValue;
          else return false;
        } else if (token == kComment) {
          do token = tokens.Next();
          while (token == kComment);
          if (token == kObjectEnd) open.erase(open.size() - 1);
          else step = kName;
        } else if (token == kObjectEnd) {
          open.erase(open.size() - 1);
        } else if (token == kComma) {
          step = kName;
        } else {
          return false;
        }
        break;
      case kName:
        do token = tokens.Next();
        while (token == kComment);
        if (token == kObjectEnd && open[open.size() - 1] == 'o') {
          open.erase(open.size() - 1);
          step = kAfterValue;
        } else if (token == kString || token == kEmptyString) {
          open[open.size() - 1] = token == kEmptyString ? 'o' : 'n';
          step = kNameSeparator;
        } else {
          return false;  // a numeric key too: 1.7 throws on one (asCString)
        }
        break;
      case kNameSeparator:
        if (tokens.Next() != kColon) return false;
        step = kValue;
        break;
    }
  }
}

// Whether [begin, end) holds `limit` bytes "[" or "{": the reader cannot go
// past `limit` levels otherwise, each level beyond the root being opened by
// one of them. Most texts need no walk at all.
bool HasOpeners(const char* begin, const char* end, size_t limit) {
  size_t openers = 0;
  for (const char* p = begin; p != end; ++p) {
    if ((*p == '[' || *p == '{') && ++openers >= limit) return true;
  }
  return false;
}

}  // namespace


bool PassesReaderDepthLimit(const char* begin, const char* end, const port::Features& features) {
  return HasOpeners(begin, end, kReaderDepthLimit) &&
         ThrowsAtDepthLimit(begin, end, features, kReaderDepthLimit);
}

// The reader's parse of [begin, end) as on one thread, stack-safe whatever
// another thread's parse does to the shared count: a text that takes the
// reader to its limit is refused here, as the reader would refuse it, and
// any other text stays within the limit whatever the count says.
bool ReadJson(const char* begin, const char* end, const port::Features& features,
              Json::Value& root) {
  std::lock_guard<std::mutex> turn(readerTurn);
  if (PassesReaderDepthLimit(begin, end, features)) {
    throw Json::RuntimeError("Exceeded stackLimit in readValue().");
  }
  for (int attempt = 1;; ++attempt) {
    port::Reader reader(features);
    try {
      return reader.parse(begin, end, root, true);
    } catch (const Json::RuntimeError& error) {
      if (attempt == kReadAttempts || IsAllocationFailure(error)) throw;
      root = Json::Value();
    }
  }
}

}  // namespace vomaxel
