// vomaxel::IsText against the Unicode Standard's table of well-formed UTF-8
// byte sequences (Table 3-7), the zero byte left out: every string of one
// and two bytes, and of three and four bytes with the later bytes at the
// edges of their ranges, each at every offset into a machine word of ASCII.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <memory>
#include <string>
#include <utility>

#include "TextCheck.h"

namespace {

struct WellFormed {
  size_t length;
  unsigned char low[4];
  unsigned char high[4];
};

const WellFormed kTable[] = {
    {1, {0x01}, {0x7F}},
    {2, {0xC2, 0x80}, {0xDF, 0xBF}},
    {3, {0xE0, 0xA0, 0x80}, {0xE0, 0xBF, 0xBF}},
    {3, {0xE1, 0x80, 0x80}, {0xEC, 0xBF, 0xBF}},
    {3, {0xED, 0x80, 0x80}, {0xED, 0x9F, 0xBF}},
    {3, {0xEE, 0x80, 0x80}, {0xEF, 0xBF, 0xBF}},
    {4, {0xF0, 0x90, 0x80, 0x80}, {0xF0, 0xBF, 0xBF, 0xBF}},
    {4, {0xF1, 0x80, 0x80, 0x80}, {0xF3, 0xBF, 0xBF, 0xBF}},
    {4, {0xF4, 0x80, 0x80, 0x80}, {0xF4, 0x8F, 0xBF, 0xBF}},
};

// The length of the well-formed sequence at `p` (before `end`), 0 if none.
size_t SequenceAt(const unsigned char* p, const unsigned char* end) {
  for (const WellFormed& row : kTable) {
    if (static_cast<size_t>(end - p) < row.length) continue;
    size_t i = 0;
    while (i < row.length && p[i] >= row.low[i] && p[i] <= row.high[i]) ++i;
    if (i == row.length) return row.length;
  }
  return 0;
}

bool Oracle(const unsigned char* p, size_t size) {
  const unsigned char* end = p + size;
  while (p != end) {
    const size_t length = SequenceAt(p, end);
    if (length == 0) return false;
    p += length;
  }
  return true;
}

bool IsText(const std::string& text) {
  return vomaxel::IsText(reinterpret_cast<const unsigned char*>(text.data()), text.size());
}

TEST(IsText, AgreesWithTheTableOfWellFormedSequences) {
  // Each string alone, and after 0 to 8 ASCII characters and before 10 to
  // 18, so that it falls across words at every offset. Each ends where its
  // heap block ends, so that memcheck and AddressSanitizer see any read past
  // it; over a million strings, built in place.
  const std::string ascii = "Title 325, CH7.News";
  const size_t kBlock = 64;
  std::unique_ptr<unsigned char[]> alone(new unsigned char[kBlock]), framed(new unsigned char[kBlock]);
  unsigned char bytes[4];
  size_t checked = 0, text = 0;
  const auto check = [&](size_t length) {
    const size_t before = checked % 9, after = 10 + checked / 9 % 9;
    const size_t framed_size = before + length + after;
    unsigned char* const p = framed.get() + kBlock - framed_size;
    memcpy(p, ascii.data(), before);
    memcpy(p + before, bytes, length);
    memcpy(p + before + length, ascii.data(), after);
    unsigned char* const q = alone.get() + kBlock - length;
    memcpy(q, bytes, length);
    const std::pair<const unsigned char*, size_t> strings[] = {{q, length}, {p, framed_size}};
    for (const auto& [data, size] : strings) {
      const bool expected = Oracle(data, size);
      ASSERT_EQ(vomaxel::IsText(data, size), expected)
          << testing::PrintToString(std::string(reinterpret_cast<const char*>(data), size));
      text += expected;
    }
    ++checked;
  };
  // Every value of the first two bytes; the edges of every range after them.
  const unsigned char edges[] = {0x00, 0x01, 0x7F, 0x80, 0x8F, 0x90, 0x9F, 0xA0, 0xBF, 0xC0, 0xFF};
  for (int a = 0; a < 256; ++a) {
    bytes[0] = static_cast<unsigned char>(a);
    check(1);
    for (int b = 0; b < 256; ++b) {
      bytes[1] = static_cast<unsigned char>(b);
      check(2);
      for (unsigned char c : edges) {
        bytes[2] = c;
        check(3);
      }
    }
    for (unsigned char b : edges) {
      for (unsigned char c : edges) {
        for (unsigned char d : edges) {
          bytes[1] = b, bytes[2] = c, bytes[3] = d;
          check(4);
        }
      }
    }
  }
  EXPECT_GT(text, checked / 20) << "both verdicts are well represented";
}

TEST(IsText, JudgesEveryByte) {
  const std::pair<std::string, bool> cases[] = {
      {"", true},
      {"P100234.1700000000", true},
      {"\xEB\x89\xB4\xEC\x8A\xA4 9 \xE2\x80\x94 Caf\xC3\xA9 \xF0\x9F\x93\xBA", true},
      {std::string("Morning\0News", 12), false},
      {std::string("Morning News 123\0", 17), false},
      {"Caf\xE9 au lait", false},                  // Latin-1
      {"Title 325 \xC0\xAF", false},               // overlong "/"
      {"Title 325 \xED\xA0\x80", false},           // a surrogate
      {"Title 325 \xF4\x90\x80\x80", false},       // above U+10FFFF
      {"Title 325 \xE2\x80", false},               // cut short at the end
  };
  for (const auto& [s, expected] : cases) EXPECT_EQ(IsText(s), expected) << s;
}

}  // namespace
