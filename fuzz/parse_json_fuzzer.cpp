// ParseJson against the old reader of the jsoncpp it is built with: the same
// bytes through both, with either feature set, on one thread, comments
// collected. The verdicts must agree (the reader's throw at its nesting limit
// is a refusal; a text nesting deeper than the plug-in's own limit is refused
// whatever the reader says) and so must the values of an accepted text.
//
// The plug-in's nesting count (NestsDeeperThan) is held against the reader:
// wherever the reader throws at its limit, the count goes past the level
// below it; wherever the reader accepts, the count reaches the depth of the
// value read (a duplicate key can leave the value shallower than the text,
// so that is a bound, not the count itself). Built against
// jsoncpp before 1.8, where the plug-in decides the nesting limit itself,
// its decision must also be the reader's: where the reader throws, it must
// have refused the text without the reader. On later releases the two
// agree trivially.
//
// The input is a count byte and a text. Where the text holds 0xFF bytes, the
// parts between the first and second of them, the third and fourth, and so
// on are each repeated four times the count: texts at jsoncpp's nesting
// limit (1000 levels, 256 from 1.9.8) stay short enough to mutate.
#include "FuzzSupport.h"

#include "JsonNesting.h"
#include "JsonText.h"
#ifdef VOMAXEL_READER_DEPTH_IS_SHARED
#include "SharedDepthReader.h"
#endif

namespace {

const size_t kLongest = 1 << 16;

// The old reader's nesting limit: 1000 levels, 256 from 1.9.8.
const size_t kReaderLimit = JSONCPP_VERSION_HEXA >= 0x01090800 ? 256 : 1000;

// Levels along the deepest path, counting empty ones.
size_t Depth(const Json::Value& value) {
  size_t deepest = 0;
  if (value.isArray() || value.isObject()) {
    for (const Json::Value& child : value) deepest = std::max(deepest, Depth(child));
    ++deepest;
  }
  return deepest;
}

std::string Expand(const uint8_t* data, size_t size) {
  if (size == 0) return std::string();
  const size_t times = 4u * data[0];
  const std::string input(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::string text;
  size_t start = 0;
  for (bool repeated = false;; repeated = !repeated) {
    const size_t stop = std::min(input.find('\xff', start), input.size());
    for (size_t i = 0; i < (repeated ? times : 1) && text.size() < kLongest; ++i) {
      text.append(input, start, stop - start);
    }
    if (stop == input.size()) return text;
    start = stop + 1;
  }
}

// The reader's verdict on `text` on this one thread.
bool ReaderAccepts(const std::string& text, const port::Features& features, Json::Value* root,
                   bool* throwsAtLimit) {
  port::Reader reader(features);
  *throwsAtLimit = false;
  try {
    return reader.parse(text.data(), text.data() + text.size(), *root, true);
  } catch (const Json::RuntimeError&) {
    *throwsAtLimit = true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text = Expand(data, size);
  for (const port::Features& features : {port::Features(), port::Features::Strict()}) {
    Json::Value expected;
    bool throwsAtLimit;
    const bool accepted = ReaderAccepts(text, features, &expected, &throwsAtLimit);
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    if (throwsAtLimit) FUZZ_CHECK(vomaxel::NestsDeeperThan(begin, end, kReaderLimit - 1));
    if (accepted) {
      const size_t depth = Depth(expected);
      if (depth > 0) FUZZ_CHECK(vomaxel::NestsDeeperThan(begin, end, depth - 1));
    }
    const bool refusedForDepth = vomaxel::kNestingLimit != 0 &&
                                 vomaxel::NestsDeeperThan(begin, end, vomaxel::kNestingLimit);
    Json::Value actual;
    FUZZ_CHECK(vomaxel::ParseJson(text, features, actual) == (accepted && !refusedForDepth));
    if (accepted && !refusedForDepth) FUZZ_CHECK(actual == expected);
#ifdef VOMAXEL_READER_DEPTH_IS_SHARED
    const bool refused = vomaxel::PassesReaderDepthLimit(text.data(), text.data() + text.size(),
                                                         features);
    if (throwsAtLimit) FUZZ_CHECK(refused);
    if (refused) FUZZ_CHECK(!accepted);
#else
    (void)throwsAtLimit;
#endif
  }
  return 0;
}
