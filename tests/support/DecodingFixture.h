// The fixture of the server result decoding tests: keys set at the start of
// every test (the key store outlives tests and cannot be reset), and the log
// lines the decoding writes.

#ifndef VOMAXEL_TESTS_SUPPORT_DECODINGFIXTURE_H_
#define VOMAXEL_TESTS_SUPPORT_DECODINGFIXTURE_H_

#include <regex>
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
  // are source lines and mean nothing to the host.
  Lines Log() const {
    static const std::regex ownLine(
        "^(\\[\\d+\\] (std::string Vomaxel::m_DoDecryption|virtual void Vomaxel::DecryptMatchInfo|"
        "Json::Value Vomaxel::m_DecryptMultiMatchResult|"
        "virtual std::string Vomaxel::DecryptEachEventInfo)\\([^)]*\\)):\\d+ ");
    Lines lines = Logged();
    for (std::string& line : lines) line = std::regex_replace(line, ownLine, "$1:# ");
    return lines;
  }
};

// The lines of one field's decoding.
inline const std::string kFieldEmpty =
    "[3] std::string Vomaxel::m_DoDecryption(const string&):# inEncryptedString is empty";
inline const std::string kFieldNotBase64 =
    "[3] std::string Vomaxel::m_DoDecryption(const string&):# "
    "Failed to decode with Base64 incoding";
inline const std::string kFieldNotDecrypted =
    "[3] std::string Vomaxel::m_DoDecryption(const string&):# decodedTextSize == 0";
inline std::string FieldTooLong(size_t size) {
  return "[3] std::string Vomaxel::m_DoDecryption(const string&):# uEncrypedSize(" +
         std::to_string(size) + ") >= MAX_ID_STRING_SIZE";
}

// The cipher's lines when a key finds no valid padding: the current key is
// tried first, so a field under the old key brings one, a field under neither two.
inline const std::string kCurrentKeyRefused =
    "[3] int CACRCipherUtil::m_DecryptWithKeyType(CACRCipherUtil::KEY_TYPE, unsigned char*, "
    "unsigned char*, int):244 [1] ERR : EVP_DecryptFinal_ex()";
inline const std::string kOldKeyRefused =
    "[3] int CACRCipherUtil::m_DecryptWithKeyType(CACRCipherUtil::KEY_TYPE, unsigned char*, "
    "unsigned char*, int):244 [0] ERR : EVP_DecryptFinal_ex()";

#endif  // VOMAXEL_TESTS_SUPPORT_DECODINGFIXTURE_H_
