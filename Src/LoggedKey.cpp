#include "LoggedKey.h"

#include <cstdio>

#ifndef VOMAXEL_MASK_KEYS
#define VOMAXEL_MASK_KEYS 0
#endif

namespace {

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

}  // namespace

LoggedKey::LoggedKey(const std::string& key) : text_(key.c_str()) {
  if (!VOMAXEL_MASK_KEYS) return;
  unsigned long notHex = 0;
  for (std::string::size_type i = 0; i < key.size(); ++i) {
    if (!IsHexDigit(key[i])) ++notHex;
  }
  const unsigned long length = key.size();
  if (length == 0) {
    std::snprintf(masked_, sizeof masked_, "<masked: 0 characters>");
  } else if (notHex == 0) {
    std::snprintf(masked_, sizeof masked_, "<masked: %lu characters, all hexadecimal>", length);
  } else {
    std::snprintf(masked_, sizeof masked_, "<masked: %lu characters, %lu not hexadecimal>",
                  length, notHex);
  }
  text_ = masked_;
}
