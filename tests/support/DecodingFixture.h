// The fixture of the server result decoding tests: keys set at the start of
// every test (the key store outlives tests and cannot be reset), and the log
// lines the decoding writes.

#ifndef VOMAXEL_TESTS_SUPPORT_DECODINGFIXTURE_H_
#define VOMAXEL_TESTS_SUPPORT_DECODINGFIXTURE_H_

#include <functional>
#include <regex>
#include <stdexcept>
#include <string>

#include "PluginFixture.h"
#include "ServerSimulator.h"

class DecodingTest : public PluginTest {
 protected:
  void SetUp() override {
    PluginTest::SetUp();
    std::string keys = server::KeyText();
    vomaxel().SetSecureKey(keys);
    ClearLog();
  }

  // Logged(), with "#" for the line numbers of the decoding's own lines: they
  // are source lines and mean nothing to the host. The cipher's lines keep theirs.
  Lines Log() const {
    static const std::regex ownLine("^(\\[\\d+\\] (virtual )?\\S+ Vomaxel::\\w+\\([^)]*\\)):\\d+ ");
    Lines lines = Logged();
    for (std::string& line : lines) line = std::regex_replace(line, ownLine, "$1:# ");
    return lines;
  }
};

// The lines of one field's decoding.
inline const std::string kField = "[3] std::string Vomaxel::m_DoDecryption(const string&):# ";
inline const std::string kFieldEmpty = kField + "inEncryptedString is empty";
inline const std::string kFieldNotBase64 = kField + "Failed to decode with Base64 incoding";
inline const std::string kFieldNotDecrypted = kField + "decodedTextSize == 0";

// The cipher's lines when a key finds no valid padding: the current key is
// tried first, so a field under the old key brings one, a field under neither two.
inline const std::string kKeyRefused =
    "[3] int CACRCipherUtil::m_DecryptWithKeyType(CACRCipherUtil::KEY_TYPE, unsigned char*, "
    "unsigned char*, int):244 ";
inline const std::string kCurrentKeyRefused = kKeyRefused + "[1] ERR : EVP_DecryptFinal_ex()";
inline const std::string kOldKeyRefused = kKeyRefused + "[0] ERR : EVP_DecryptFinal_ex()";

// A field under `key` that the key `wrong` decrypts too, with valid padding.
struct Collision {
  std::string plain;
  std::string noise;  // what `wrong` makes of it
};

// The first text of `form`(0), `form`(1), ... whose noise under `wrong`
// `wanted` accepts.
inline Collision FindCollision(const std::function<std::string(int)>& form, server::Key key,
                               server::Key wrong,
                               const std::function<bool(const std::string&)>& wanted) {
  for (int n = 0; n < 100000; ++n) {
    const std::string plain = form(n);
    std::string noise;
    if (server::WrongKeyText(plain, key, wrong, &noise) && wanted(noise)) return {plain, noise};
  }
  throw std::runtime_error("no collision found for " + form(0));
}

// Noise that is not text for a reason plain to see: a zero byte, or (and no
// zero byte) a byte that no UTF-8 text holds.
inline bool HasZero(const std::string& noise) { return noise.find('\0') != std::string::npos; }
inline bool HasNonUtf8Byte(const std::string& noise) {
  for (unsigned char byte : noise) {
    if (byte == 0xC0 || byte == 0xC1 || byte >= 0xF5) return !HasZero(noise);
  }
  return false;
}

#endif  // VOMAXEL_TESTS_SUPPORT_DECODINGFIXTURE_H_
