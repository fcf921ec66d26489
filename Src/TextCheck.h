// Whether decrypted bytes are text as the server sends its fields: UTF-8.

#ifndef VOMAXEL_SRC_TEXTCHECK_H_
#define VOMAXEL_SRC_TEXTCHECK_H_

#include <cstddef>

namespace vomaxel {

// True when the `size` bytes are well-formed UTF-8 (no overlong form, no
// surrogate, nothing above U+10FFFF, no sequence cut short) and none of them
// is zero. Every byte is judged, also those after a first zero byte.
bool IsText(const unsigned char* bytes, std::size_t size);

}  // namespace vomaxel

#endif  // VOMAXEL_SRC_TEXTCHECK_H_
