#include "TextCheck.h"

#include <cstring>

namespace vomaxel {

namespace {

// A machine word of bytes 0x01, and of bytes 0x80.
const std::size_t kOnes = ~static_cast<std::size_t>(0) / 0xFF;
const std::size_t kHighBits = kOnes * 0x80;

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

}  // namespace

bool IsText(const unsigned char* bytes, std::size_t size) {
  const unsigned char* p = bytes;
  const unsigned char* const end = bytes + size;
  while (p != end) {
    // Fields are mostly ASCII: a word at a time while every byte is 0x01 to
    // 0x7F. A byte that is zero borrows, one from 0x80 up has its high bit,
    // and no borrow arises below the first such byte.
    while (static_cast<std::size_t>(end - p) >= sizeof(std::size_t)) {
      std::size_t word;
      std::memcpy(&word, p, sizeof(word));
      if (((word - kOnes) | word) & kHighBits) break;
      p += sizeof(word);
    }
    if (p == end) break;
    // One character, checked against the table of well-formed sequences:
    // the second byte's range depends on the first.
    const unsigned char lead = *p;
    if (lead < 0x80) {
      if (lead == 0) return false;
      ++p;
      continue;
    }
    std::size_t length;
    unsigned char low = 0x80, high = 0xBF;
    if (lead < 0xC2) {
      return false;  // a continuation byte, or the overlong leads C0 and C1
    } else if (lead < 0xE0) {
      length = 2;
    } else if (lead < 0xF0) {
      length = 3;
      if (lead == 0xE0) low = 0xA0;   // overlong below U+0800
      if (lead == 0xED) high = 0x9F;  // surrogates U+D800 to U+DFFF
    } else if (lead < 0xF5) {
      length = 4;
      if (lead == 0xF0) low = 0x90;   // overlong below U+10000
      if (lead == 0xF4) high = 0x8F;  // above U+10FFFF
    } else {
      return false;  // above U+10FFFF
    }
    if (static_cast<std::size_t>(end - p) < length || p[1] < low || p[1] > high) return false;
    for (std::size_t i = 2; i < length; ++i) {
      if (!IsContinuation(p[i])) return false;
    }
    p += length;
  }
  return true;
}

}  // namespace vomaxel
