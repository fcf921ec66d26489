// How deep a text nests, as the old reader of every jsoncpp from 1.7 on would
// open its values: the plug-in's own nesting limit, checked before the reader
// sees a text, so that a parse's recursion fits a small thread stack.

#ifndef VOMAXEL_SRC_JSONNESTING_H_
#define VOMAXEL_SRC_JSONNESTING_H_

#include <cstddef>

namespace vomaxel {

// The most values the plug-in lets the reader hold open at once, set by the
// build (VOMAXEL_NESTING_LIMIT); 0 where the reader's own limit is the only one.
const std::size_t kNestingLimit = VOMAXEL_NESTING_LIMIT;

// The largest `limit` NestsDeeperThan takes.
const std::size_t kLargestNestingLimit = 1024;

// Whether the old reader, reading [begin, end), could hold more than `limit`
// values open at once (a value counts while the reader is inside it: "[[]]"
// holds two). Never false where the reader goes deeper, whatever the text and
// the features; exact for a text without comments that the reader accepts.
// It reads the text as the reader tokenizes it (strings, their escapes and
// comments end where the reader's end), up to the close of the root value,
// and counts an opening bracket as a level and a closing one as the end of
// the innermost level where that level is of its kind. The reader ends a
// level only there, and skips no opening bracket that it does not read, so
// the levels it holds open are always among those counted here. Levels
// counted that the reader never opens come from texts it refuses, or from a
// bracket the reader before 1.9.6 takes as the separator after a comment in
// an object. `limit` is at most kLargestNestingLimit.
bool NestsDeeperThan(const char* begin, const char* end, std::size_t limit);

}  // namespace vomaxel

#endif  // VOMAXEL_SRC_JSONNESTING_H_
