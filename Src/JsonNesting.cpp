#include "JsonNesting.h"

namespace vomaxel {

static_assert(kNestingLimit <= kLargestNestingLimit,
              "VOMAXEL_NESTING_LIMIT: at most 1024 levels (0: the reader's own limit)");

namespace {

// The kind of each level counted, one bit a level (set: an object), on the
// stack: the check allocates nothing.
class Levels {
 public:
  Levels() : depth_(0) {
    for (std::size_t i = 0; i < kWords; ++i) objects_[i] = 0;
  }

  std::size_t depth() const { return depth_; }

  void Open(bool object) {
    const unsigned long bit = 1ul << (depth_ % kBits);
    if (object) objects_[depth_ / kBits] |= bit;
    else objects_[depth_ / kBits] &= ~bit;
    ++depth_;
  }

  // Ends the innermost level, of which there is one at least, where it is of
  // the kind `object` says.
  void Close(bool object) {
    const std::size_t top = depth_ - 1;
    if (((objects_[top / kBits] >> (top % kBits)) & 1ul) == (object ? 1ul : 0ul)) --depth_;
  }

 private:
  static const std::size_t kBits = sizeof(unsigned long) * 8;
  static const std::size_t kWords = (kLargestNestingLimit + 1) / kBits + 1;
  unsigned long objects_[kWords];
  std::size_t depth_;
};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Past the comment or stray "/" that starts at `p` (its "/"), as the reader
// reads it: the byte after "/" belongs to the token whatever it is.
const char* SkipComment(const char* p, const char* end) {
  if (++p == end) return p;
  const char kind = *p++;
  if (kind == '*') {
    while (p != end && !(*p == '*' && p + 1 != end && p[1] == '/')) ++p;
    return p == end ? p : p + 2;
  }
  if (kind == '/') {
    while (p != end && *p != '\n' && *p != '\r') ++p;
  }
  return p;
}

// Past the string whose opening quote is at `p`.
const char* SkipString(const char* p, const char* end) {
  ++p;
  while (p != end) {
    const char c = *p++;
    if (c == '\\') {
      if (p != end) ++p;
    } else if (c == '"') {
      break;
    }
  }
  return p;
}

}  // namespace

bool NestsDeeperThan(const char* begin, const char* end, std::size_t limit) {
  // The root is the first token after blanks and comments; the reader opens
  // nothing unless it is an array or an object.
  const char* p = begin;
  while (p != end && (IsBlank(*p) || *p == '/')) p = *p == '/' ? SkipComment(p, end) : p + 1;
  if (p == end || (*p != '[' && *p != '{')) return false;
  Levels levels;
  do {
    switch (*p) {
      case '[': case '{':
        if (levels.depth() == limit) return true;
        levels.Open(*p++ == '{');
        break;
      case ']': case '}':
        levels.Close(*p++ == '}');
        break;
      case '"':
        p = SkipString(p, end);
        break;
      case '/':
        p = SkipComment(p, end);
        break;
      default:
        ++p;
    }
  } while (p != end && levels.depth() != 0);
  return false;
}

}  // namespace vomaxel
