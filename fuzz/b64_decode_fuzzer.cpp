// b64_decode, and b64_encode on the same bytes: the decoder refuses only a
// length that is not a multiple of 4, and then touches neither its output nor
// the output length; it writes within 3 bytes per 4 characters, reports that
// less one per trailing "=", and agrees with OpenSSL on well-formed text. The
// encoder writes 4 characters per 3 bytes as OpenSSL does, and decoding gives
// the bytes back.
#include <openssl/evp.h>

#include <algorithm>
#include <cctype>

#include "ACRCipherUtil.h"
#include "FuzzSupport.h"

namespace {

const unsigned int kUntouchedLength = 0xdeadbeefu;
const unsigned char kUntouchedByte = 0xa5;

bool InAlphabet(unsigned char c) {
  return std::isalnum(c) || c == '+' || c == '/';
}

// Alphabet characters only, but for up to two trailing "=".
bool WellFormed(const std::vector<unsigned char>& text) {
  size_t end = text.size();
  for (int pad = 0; pad < 2 && end > 0 && text[end - 1] == '='; ++pad) --end;
  return std::all_of(text.begin(), text.begin() + end, InAlphabet);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<unsigned char> text(data, data + size);
  const unsigned int length = static_cast<unsigned int>(size);

  // Exactly the room the decoder may use, so that ASan sees any write beyond it.
  std::vector<unsigned char> decoded(3 * (size / 4), kUntouchedByte);
  unsigned int decodedLength = kUntouchedLength;
  const int result = b64_decode(text.data(), length, decoded.data(), &decodedLength);
  FUZZ_CHECK(text == std::vector<unsigned char>(data, data + size));
  if (size % 4 != 0) {
    FUZZ_CHECK(result == 0 && decodedLength == kUntouchedLength);
    FUZZ_CHECK(std::count(decoded.begin(), decoded.end(), kUntouchedByte) ==
               static_cast<long>(decoded.size()));
  } else {
    const unsigned int pads = (size >= 1 && text[size - 1] == '=') + (size >= 2 && text[size - 2] == '=');
    FUZZ_CHECK(result == 1 && decodedLength == decoded.size() - pads);
    if (size > 0 && WellFormed(text)) {
      std::vector<unsigned char> oracle(decoded.size());
      FUZZ_CHECK(EVP_DecodeBlock(oracle.data(), text.data(), static_cast<int>(size)) ==
                 static_cast<int>(oracle.size()));
      FUZZ_CHECK(std::equal(decoded.begin(), decoded.begin() + decodedLength, oracle.begin()));
    }
  }

  std::vector<unsigned char> encoded(4 * ((size + 2) / 3));
  unsigned int encodedLength = kUntouchedLength;
  b64_encode(text.data(), length, encoded.data(), &encodedLength);
  FUZZ_CHECK(encodedLength == encoded.size());
  std::vector<unsigned char> oracle(encoded.size() + 1);
  EVP_EncodeBlock(oracle.data(), text.data(), static_cast<int>(size));
  FUZZ_CHECK(std::equal(encoded.begin(), encoded.end(), oracle.begin()));
  std::vector<unsigned char> roundTrip(3 * (encoded.size() / 4));
  unsigned int roundTripLength = 0;
  FUZZ_CHECK(b64_decode(encoded.data(), encodedLength, roundTrip.data(), &roundTripLength) == 1);
  FUZZ_CHECK(roundTripLength == size && std::equal(text.begin(), text.end(), roundTrip.begin()));
  return 0;
}
