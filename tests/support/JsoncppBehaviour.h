// Where jsoncpp decides a result and its releases differ: what the tests
// expect from the release they are built against. Each entry names the
// release that brings the behaviour, the first of those the plug-in is tried
// with (1.7.4, 1.8.4, 1.9.4, 1.9.5, 1.9.6, 1.9.8) to show it.

#ifndef VOMAXEL_TESTS_SUPPORT_JSONCPPBEHAVIOUR_H_
#define VOMAXEL_TESTS_SUPPORT_JSONCPPBEHAVIOUR_H_

#include <string>

#include "JsonCpp.h"

namespace jsoncpp {

constexpr unsigned long kVersion = JSONCPP_VERSION_HEXA;

// 1.8: the writers escape bytes from 0x80 up as \uXXXX (decoded as UTF-8);
// 1.7 writes them as they are, and control characters with upper-case hex.
constexpr bool kEscapesNonAscii = kVersion >= 0x01080000;

// 1.8: the reader keeps a block comment left open at the end of a text;
// 1.7 drops it.
constexpr bool kKeepsOpenTrailingComment = kVersion >= 0x01080000;

// 1.9.8: the reader refuses control characters (below 0x20) inside strings.
constexpr bool kRefusesControlCharacters = kVersion >= 0x01090800;

// 1.9.6: the old reader insists on "," or "}" after comments that follow an
// object's member; before, it takes any token there as the separator.
constexpr bool kAnySeparatorAfterComment = kVersion < 0x01090600;

// The old reader's nesting limit: 1000 levels, 256 from 1.9.8.
constexpr int kNestingLimit = kVersion >= 0x01090800 ? 256 : 1000;

// 1.9: the other reader (Json::CharReaderBuilder's) negates numbers without
// undefined behaviour; before, reading a negative number trips UBSan.
constexpr bool kOtherReaderReadsNegativeNumbers = kVersion >= 0x01090000;

// Not a difference but a defect of 1.8.x, fixed in 1.9.0: the writers
// corrupt every character from U+40000 up. No test here writes one; the
// self-test's non-ASCII check fails on it, naming it.

// The old reader's parse of the whole of `text` (default features), through
// the overload that 1.7 gets right: its parse(const std::string&) reads the
// string's capacity, not its size.
inline bool Parse(const std::string& text, Json::Value& root) {
  return port::Reader().parse(text.data(), text.data() + text.size(), root, true);
}

}  // namespace jsoncpp

#endif  // VOMAXEL_TESTS_SUPPORT_JSONCPPBEHAVIOUR_H_
