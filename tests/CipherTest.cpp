// The key store, SetSecureKey and AES-128-CBC, checked against OpenSSL with
// keys converted by hand. The key store is process-wide and has no reset, so
// every test starts by setting the keys it needs.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ACRCipherUtil.h"
#include "CipherOracle.h"
#include "EvpFaults.h"
#include "PluginFixture.h"

#ifndef VOMAXEL_MASK_KEYS
#define VOMAXEL_MASK_KEYS 0
#endif

namespace {

// Sixteen bytes written out by hand, from the hexadecimal text beside them.
Bytes Key(const char (&bytes)[17]) { return Bytes(bytes, bytes + 16); }
const std::string kOldHex = "2b7e151628aed2a6abf7158809cf4f3c";
const Bytes kOld = Key("\x2b\x7e\x15\x16\x28\xae\xd2\xa6\xab\xf7\x15\x88\x09\xcf\x4f\x3c");
const std::string kCurrentHex = "a1b2c3d4e5f60718293a4b5c6d7e8f90";
const Bytes kCurrent = Key("\xa1\xb2\xc3\xd4\xe5\xf6\x07\x18\x29\x3a\x4b\x5c\x6d\x7e\x8f\x90");
const std::string kNewHex = "5f0e1d2c3b4a59687766554433221100";
const Bytes kNew = Key("\x5f\x0e\x1d\x2c\x3b\x4a\x59\x68\x77\x66\x55\x44\x33\x22\x11\x00");
const std::string kBoth = kOldHex + "," + kCurrentHex;
const std::string kOnlyOld = kOldHex + ",00" + kCurrentHex.substr(2);
// Two halves whose first bytes are zero: stored, but neither counts as set.
const std::string kNoKeys = "00" + std::string(30, 'a') + ",00" + std::string(30, 'b');

// Probe text. No wrong key used here passes the padding check on it by chance
// (roughly one text in 256 would: "CH7.News" under kOld does with kNew).
const std::string kPlain = "P100.25";

const std::string kInvalid = "[3] bool CACRCipherUtil::m_IsInvalidKey(const string&):";
const std::string kSmaller = kInvalid + "135 SMALLER THAN MIN_SECURE_KEY_SIZE";
const std::string kLarger = kInvalid + "141 LARGER THAN MAX_COMBINED_KEY_SIZE";
const std::string kNoDelimiter = kInvalid + "147 SECURE_KEY_DELIMITER IS NOT INCLUDED";
const std::string kSplit =
    "[3] void CACRCipherUtil::m_SpliteKey(const string&, std::string&, std::string&):";
const std::string kOldDropped =
    kSplit + "165 SPLITED OLD KEY SIZE IS NOT EVEN OR LARGER THAN MAX_SECURE_KEY_SIZE";
const std::string kCurrentDropped =
    kSplit + "173 SPLITED CURRENT KEY SIZE IS NOT EVEN OR LARGER THAN MAX_SECURE_KEY_SIZE";
const std::string kConvert =
    "[3] void CACRCipherUtil::m_ConvertAndAssignKey(CACRCipherUtil::KEY_TYPE, const string&):";
const std::string kNotSet =
    "[3] int CACRCipherUtil::Encrypt(unsigned char*, unsigned char*, int):65 current key is not "
    "set, yet";

// A key text as the key store's lines show it: the text, or in a build with
// VOMAXEL_MASK_KEYS "<masked: N characters" + masked + ">".
std::string Shown(const std::string& text, const char* masked) {
  if (!VOMAXEL_MASK_KEYS) return text;
  return "<masked: " + std::to_string(text.size()) + " characters" + masked + ">";
}
const char kAllHex[] = ", all hexadecimal";
std::string KeyIs(int type, const std::string& hex, const char* masked = kAllHex) {
  return kConvert + "190 [" + std::to_string(type) + "] key = " + Shown(hex, masked);
}
std::string KeyEmpty(int type) {
  return kConvert + "186 [" + std::to_string(type) + "] key is empty";
}

// What SetSecureKey logs for a text the key store refuses as a whole.
Lines Refused(const std::string& reason, const std::string& text, const char* masked) {
  return {reason,
          "[2] virtual void Vomaxel::SetSecureKey(std::string&):527 pCipherUtil->SetKey() return "
          "false, " + Shown(text, masked)};
}

CACRCipherUtil& Cipher() { return *CACRCipherUtil::GetInstance(); }

// Decrypts through the key store; the plain text, or "<failed>".
std::string Decrypt(Bytes cipher) {
  unsigned char out[2048 + 16];
  const int length = Cipher().Decrypt(out, cipher.data(), static_cast<int>(cipher.size()));
  return length == 0 ? "<failed>" : std::string(reinterpret_cast<char*>(out), length);
}

// Encrypts through the key store; empty when it fails.
Bytes Encrypt(std::string plain) {
  Bytes out(plain.size() + 16);
  const int length = Cipher().Encrypt(out.data(), reinterpret_cast<unsigned char*>(&plain[0]),
                                      static_cast<int>(plain.size()));
  out.resize(static_cast<size_t>(length));
  return out;
}

class KeyStore : public PluginTest {
 protected:
  void SetKeys(std::string text) {
    vomaxel().SetSecureKey(text);
    ClearLog();
  }

  // Checks, through the cipher's own behaviour, which keys the two rows hold.
  // An empty key means the row must count as not set.
  void ExpectKeys(const Bytes& oldKey, const Bytes& currentKey) {
    if (currentKey.empty()) {
      EXPECT_TRUE(Encrypt(kPlain).empty());
    } else {
      bool ok = false;
      EXPECT_EQ(OracleDecrypt(currentKey, Encrypt(kPlain), &ok), kPlain);
      EXPECT_TRUE(ok);
    }
    if (!oldKey.empty()) {
      EXPECT_EQ(Decrypt(OracleEncrypt(oldKey, kPlain)), kPlain);
    }
    ClearLog();
  }
};

struct KeyText {
  const char* why;
  std::string text;
  Lines log;  // what SetSecureKey logs
  Bytes oldKey;
  Bytes currentKey;
};

TEST_F(KeyStore, ChecksSplitsAndConvertsKeyTexts) {
  const std::string hex64a(64, 'a'), hex64b = std::string(32, 'b') + std::string(32, 'c');
  const std::string short31 = kOldHex.substr(0, 15) + "," + kCurrentHex.substr(0, 15);
  const std::string long130 = "7" + hex64a.substr(1) + "," + hex64b + "d";
  const std::string noComma(40, 'e'), hex66 = "ab" + std::string(64, '1');
  const std::string strtolOld = "-1zz 17x0123456789abcdef01234567";
  const std::string strtolCurrent = "c1,12233445566778899001122334400";
  const KeyText cases[] = {
      {"empty text", "", Refused(kSmaller, "", ""), kOld, kCurrent},
      {"31 characters", short31, Refused(kSmaller, short31, ", 1 not hexadecimal"), kOld, kCurrent},
      {"32 characters, odd current half", kNewHex.substr(0, 16) + "," + kNewHex.substr(0, 15),
       {kCurrentDropped, KeyIs(0, kNewHex.substr(0, 16)), KeyEmpty(1)},
       AesKey(Bytes(kNew.begin(), kNew.begin() + 8)), kCurrent},
      {"129 characters", hex64a + "," + hex64b, {KeyIs(0, hex64a), KeyIs(1, hex64b)},
       Bytes(16, 0xaa), Bytes(16, 0xbb)},
      {"130 characters", long130, Refused(kLarger, long130, ", 1 not hexadecimal"), kOld, kCurrent},
      {"no comma", noComma, Refused(kNoDelimiter, noComma, kAllHex), kOld, kCurrent},
      {"empty current half", kNewHex + ",", {KeyIs(0, kNewHex), KeyEmpty(1)}, kNew, kCurrent},
      {"empty old half", "," + kNewHex, {KeyEmpty(0), KeyIs(1, kNewHex)}, kOld, kNew},
      {"both halves odd", "1" + kOldHex + ",2" + kCurrentHex,
       {kOldDropped, kCurrentDropped, KeyEmpty(0), KeyEmpty(1)}, kOld, kCurrent},
      {"66-digit old half, 5-byte current key", hex66 + "," + kNewHex.substr(0, 10),
       {kOldDropped, KeyEmpty(0), KeyIs(1, kNewHex.substr(0, 10))}, kOld,
       AesKey(Bytes(kNew.begin(), kNew.begin() + 5))},
      // "-1" -> ff, "zz" -> 00, " 1" -> 01, "7x" -> 07, ",1" -> 00 (a second comma).
      {"each pair converted with strtol", strtolOld + "," + strtolCurrent,
       {KeyIs(0, strtolOld, ", 5 not hexadecimal"),
        KeyIs(1, strtolCurrent, ", 1 not hexadecimal")},
       Key("\xff\x00\x01\x07\x01\x23\x45\x67\x89\xab\xcd\xef\x01\x23\x45\x67"),
       Key("\xc1\x00\x22\x33\x44\x55\x66\x77\x88\x99\x00\x11\x22\x33\x44\x00")},
      {"a NUL ends the text", kNewHex + "," + std::string(1, '\0') + kNewHex,
       {KeyIs(0, kNewHex), KeyEmpty(1)}, kNew, kCurrent},
  };
  for (const KeyText& c : cases) {
    SCOPED_TRACE(c.why);
    SetKeys(kBoth);
    std::string text = c.text;
    vomaxel().SetSecureKey(text);
    EXPECT_EQ(Logged(), c.log);
    EXPECT_EQ(text, c.text) << "the key text is only read";
    ClearLog();
    ExpectKeys(c.oldKey, c.currentKey);
  }
}

class BlockCipher : public KeyStore {};

// The fall-back from the current key to the old one, with its log lines,
// shows in the decoding of fields (DecryptEventInfoTest).
TEST_F(BlockCipher, DecryptsWithTheKeysThatAreSet) {
  SetKeys(kOnlyOld);
  EXPECT_EQ(Decrypt(OracleEncrypt(kOld, kPlain)), kPlain);
  EXPECT_EQ(Logged(), Lines{}) << "no attempt with the current key";
  SetKeys(kNoKeys);
  Bytes unsetKey(16, 0xaa);
  unsetKey[0] = 0;
  EXPECT_EQ(Decrypt(OracleEncrypt(unsetKey, kPlain)), "<failed>");
  EXPECT_EQ(Logged(), Lines{}) << "no key set: no attempt, no line";
}

// Keys of every allowed length, 1 to 32 bytes, in either row: the AES key is
// the first 16 bytes, padded with zeros, as OpenSSL sees it.
TEST_F(BlockCipher, EveryKeyLengthAgreesWithOpenSsl) {
  const std::string digits = "f1e2d3c4b5a69788796a5b4c3d2e1f00112233445566778899aabbccddeeff01";
  for (size_t length = 2; length <= digits.size(); length += 2) {
    SCOPED_TRACE(length);
    Bytes bytes;
    for (size_t i = 0; i < length; i += 2) {
      bytes.push_back(static_cast<unsigned char>(std::stoi(digits.substr(i, 2), nullptr, 16)));
    }
    SetKeys(kOldHex + "," + digits.substr(0, length));
    ExpectKeys(kOld, AesKey(bytes));
    SetKeys(digits.substr(0, length) + ",00" + kCurrentHex.substr(2));
    ExpectKeys(AesKey(bytes), {});
  }
}

TEST_F(BlockCipher, EncryptsWithTheCurrentKeyToWholeBlocks) {
  SetKeys(kBoth);
  for (size_t length : {1, 15, 16, 17, 1533}) {
    std::string plain(length, 'x');
    for (size_t i = 0; i < length; ++i) plain[i] = static_cast<char>(i * 7);
    const Bytes cipher = Encrypt(plain);
    EXPECT_EQ(cipher.size(), (length / 16 + 1) * 16) << length;
    EXPECT_EQ(cipher, OracleEncrypt(kCurrent, plain)) << length;
    EXPECT_EQ(Decrypt(cipher), plain) << length;
  }
  EXPECT_EQ(Logged(), Lines{});
  for (const std::string& keys : {kOnlyOld, kNoKeys}) {
    SetKeys(keys);
    EXPECT_TRUE(Encrypt(kPlain).empty());
    EXPECT_EQ(Logged(), Lines{kNotSet});
  }
}

std::string DecryptFailed(int type, int line, const std::string& call) {
  return "[3] int CACRCipherUtil::m_DecryptWithKeyType(CACRCipherUtil::KEY_TYPE, unsigned char*, "
         "unsigned char*, int):" + std::to_string(line) + " [" + std::to_string(type) +
         "] ERR : " + call;
}
std::string EncryptFailed(int line, const char* message) {
  return "[3] int CACRCipherUtil::Encrypt(unsigned char*, unsigned char*, int):" +
         std::to_string(line) + " " + message;
}

struct EvpFailure {
  evp::Function function;
  int calls;     // how many calls of it fail: the first, or all
  bool encrypt;  // Encrypt, else Decrypt of a text under the old key
  std::string result;
  Lines log;
};

// libcrypto refusing each call in turn: the line that names it with the key
// row, the fall-back from the current key to the old one, and the result 0.
// (A refused EVP_DecryptFinal_ex is a wrong key's padding: the decoding
// tests show it.) Without a failure, the text under the old key decrypts
// after the current key's one padding line.
TEST_F(BlockCipher, LibcryptoFailuresAreLoggedAndFallBackToTheOldKey) {
  const int kAll = 100;
  const std::string init = "EVP_DecryptInit_ex()", update = "EVP_DecryptUpdate()";
  const Lines initFailed = {DecryptFailed(1, 226, init), DecryptFailed(0, 226, init)};
  const EvpFailure cases[] = {
      {evp::kCipherCtxNew, 1, false, kPlain, {initFailed[0]}},
      {evp::kCipherCtxNew, kAll, false, "<failed>", initFailed},
      {evp::kAes128Cbc, kAll, false, "<failed>", initFailed},
      {evp::kDecryptInit, 1, false, kPlain, {initFailed[0]}},
      {evp::kDecryptInit, kAll, false, "<failed>", initFailed},
      {evp::kDecryptUpdate, 1, false, kPlain, {DecryptFailed(1, 235, update)}},
      {evp::kDecryptUpdate, kAll, false, "<failed>",
       {DecryptFailed(1, 235, update), DecryptFailed(0, 235, update)}},
      {evp::kCipherCtxNew, 1, true, "<failed>", {EncryptFailed(77, "ERR : EVP_EncryptInit()")}},
      {evp::kAes128Cbc, 1, true, "<failed>", {EncryptFailed(77, "ERR : EVP_EncryptInit()")}},
      {evp::kEncryptInit, 1, true, "<failed>", {EncryptFailed(77, "ERR : EVP_EncryptInit()")}},
      {evp::kEncryptUpdate, 1, true, "<failed>", {EncryptFailed(86, "ERR : EVP_EncryptUpdate()")}},
      {evp::kEncryptFinal, 1, true, "<failed>", {EncryptFailed(95, "ERR: EVP_EncryptFinal()")}},
  };
  for (const EvpFailure& c : cases) {
    SCOPED_TRACE("function " + std::to_string(c.function) + ", calls " + std::to_string(c.calls) +
                 (c.encrypt ? ", Encrypt" : ", Decrypt"));
    SetKeys(kBoth);
    const Bytes underOld = OracleEncrypt(kOld, kPlain);
    evp::Fail(c.function, c.calls);
    const std::string result = c.encrypt ? (Encrypt(kPlain).empty() ? "<failed>" : "encrypted")
                                         : Decrypt(underOld);
    evp::Reset();
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(Logged(), c.log);
  }
}

using CipherDeathTest = KeyStore;

TEST_F(CipherDeathTest, PreconditionsAbortWithTheirReport) {
  // The default style forks without exec, which also works where the tests
  // run under qemu-user (a child cannot exec a foreign binary there).
  unsigned char buffer[32] = {};
  // The assertion's report, as an extended regular expression that matches
  // its text alone.
  const auto report = [](int line, const std::string& function, const std::string& condition) {
    const std::string text = ": Src/ACRCipherUtil.cpp:" + std::to_string(line) + ": " + function +
                             ": Assertion `" + condition + "' failed.";
    std::string regex;
    for (const char c : text) {
      if (std::strchr("\\.[](){}*+?|^$", c) != nullptr) regex += '\\';
      regex += c;
    }
    return regex;
  };
  const std::string encrypt = "int CACRCipherUtil::Encrypt(unsigned char*, unsigned char*, int)";
  EXPECT_DEATH(Cipher().SetKey(nullptr),
               report(36, "bool CACRCipherUtil::SetKey(const char*)", "(pKey) != (__null)"));
  EXPECT_DEATH(Cipher().Encrypt(nullptr, buffer, 1),
               report(59, encrypt, "(pOutBuffer) != (__null)"));
  EXPECT_DEATH(Cipher().Encrypt(buffer, nullptr, 1),
               report(60, encrypt, "(pInBuffer) != (__null)"));
  EXPECT_DEATH(Cipher().Encrypt(buffer, buffer, 0), report(61, encrypt, "(inLen) != (0)"));
}

}  // namespace
