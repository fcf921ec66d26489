// The key store, SetSecureKey and AES-128-CBC, checked against OpenSSL with
// keys converted by hand. The key store is process-wide and has no reset, so
// every test starts by setting the keys it needs.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "ACRCipherUtil.h"
#include "CipherOracle.h"
#include "PluginFixture.h"

namespace {

const std::string kOldHex = "2b7e151628aed2a6abf7158809cf4f3c";
const Bytes kOld = {0x2b, 0x7e, 0x15, 0x16, 0x28, 0xae, 0xd2, 0xa6,
                    0xab, 0xf7, 0x15, 0x88, 0x09, 0xcf, 0x4f, 0x3c};
const std::string kCurrentHex = "a1b2c3d4e5f60718293a4b5c6d7e8f90";
const Bytes kCurrent = {0xa1, 0xb2, 0xc3, 0xd4, 0xe5, 0xf6, 0x07, 0x18,
                        0x29, 0x3a, 0x4b, 0x5c, 0x6d, 0x7e, 0x8f, 0x90};
const std::string kNewHex = "5f0e1d2c3b4a59687766554433221100";
const Bytes kNew = {0x5f, 0x0e, 0x1d, 0x2c, 0x3b, 0x4a, 0x59, 0x68,
                    0x77, 0x66, 0x55, 0x44, 0x33, 0x22, 0x11, 0x00};
// Two halves whose first bytes are zero: stored, but neither counts as set.
const std::string kNoKeys =
    "00aaaaaaaaaaaaaaaaaaaaaaaaaaaaaa,00bbbbbbbbbbbbbbbbbbbbbbbbbbbbbb";

// Probe text. No wrong key used here passes the padding check on it by chance
// (roughly one text in 256 would: "CH7.News" under kOld does with kNew).
const std::string kPlain = "P100.25";

const char kInvalidKey[] = "[3] bool CACRCipherUtil::m_IsInvalidKey(const string&):";
const char kSplit[] =
    "[3] void CACRCipherUtil::m_SpliteKey(const string&, std::string&, std::string&):";
const char kConvert[] =
    "[3] void CACRCipherUtil::m_ConvertAndAssignKey(CACRCipherUtil::KEY_TYPE, const string&):";
const char kRefused[] =
    "[2] virtual void Vomaxel::SetSecureKey(std::string&):527 pCipherUtil->SetKey() return false, ";
const char kDecryptLine[] =
    "[3] int CACRCipherUtil::m_DecryptWithKeyType(CACRCipherUtil::KEY_TYPE, unsigned char*, "
    "unsigned char*, int):";
const char kNotSet[] =
    "[3] int CACRCipherUtil::Encrypt(unsigned char*, unsigned char*, int):65 current key is not "
    "set, yet";

std::string FinalFailed(int type) {
  return kDecryptLine + std::string("244 [") + std::to_string(type) + "] ERR : EVP_DecryptFinal_ex()";
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
  const std::string longer = "7" + hex64a.substr(1) + "," + hex64b + "d";
  const std::string missingComma(40, 'e');
  const std::string odd33 = "1" + kOldHex, odd33b = "2" + kCurrentHex;
  const std::string hex66 = "ab" + std::string(64, '1');
  const KeyText cases[] = {
      {"empty text", "", {kInvalidKey + std::string("135 SMALLER THAN MIN_SECURE_KEY_SIZE"), kRefused},
       kOld, kCurrent},
      {"31 characters", kOldHex.substr(0, 15) + "," + kCurrentHex.substr(0, 15),
       {kInvalidKey + std::string("135 SMALLER THAN MIN_SECURE_KEY_SIZE"),
        kRefused + kOldHex.substr(0, 15) + "," + kCurrentHex.substr(0, 15)},
       kOld, kCurrent},
      {"32 characters, odd current half", kNewHex.substr(0, 16) + "," + kNewHex.substr(0, 15),
       {kSplit + std::string("173 SPLITED CURRENT KEY SIZE IS NOT EVEN OR LARGER THAN "
                             "MAX_SECURE_KEY_SIZE"),
        kConvert + std::string("190 [0] key = ") + kNewHex.substr(0, 16),
        kConvert + std::string("186 [1] key is empty")},
       AesKey(Bytes(kNew.begin(), kNew.begin() + 8)), kCurrent},
      {"129 characters", hex64a + "," + hex64b,
       {kConvert + std::string("190 [0] key = ") + hex64a,
        kConvert + std::string("190 [1] key = ") + hex64b},
       Bytes(16, 0xaa), Bytes(16, 0xbb)},
      {"130 characters", longer,
       {kInvalidKey + std::string("141 LARGER THAN MAX_COMBINED_KEY_SIZE"), kRefused + longer},
       kOld, kCurrent},
      {"no comma", missingComma,
       {kInvalidKey + std::string("147 SECURE_KEY_DELIMITER IS NOT INCLUDED"),
        kRefused + missingComma},
       kOld, kCurrent},
      {"empty current half", kNewHex + ",",
       {kConvert + std::string("190 [0] key = ") + kNewHex,
        kConvert + std::string("186 [1] key is empty")},
       kNew, kCurrent},
      {"empty old half", "," + kNewHex,
       {kConvert + std::string("186 [0] key is empty"),
        kConvert + std::string("190 [1] key = ") + kNewHex},
       kOld, kNew},
      {"both halves odd", odd33 + "," + odd33b,
       {kSplit + std::string("165 SPLITED OLD KEY SIZE IS NOT EVEN OR LARGER THAN "
                             "MAX_SECURE_KEY_SIZE"),
        kSplit + std::string("173 SPLITED CURRENT KEY SIZE IS NOT EVEN OR LARGER THAN "
                             "MAX_SECURE_KEY_SIZE"),
        kConvert + std::string("186 [0] key is empty"),
        kConvert + std::string("186 [1] key is empty")},
       kOld, kCurrent},
      {"66-digit old half", hex66 + "," + kNewHex,
       {kSplit + std::string("165 SPLITED OLD KEY SIZE IS NOT EVEN OR LARGER THAN "
                             "MAX_SECURE_KEY_SIZE"),
        kConvert + std::string("186 [0] key is empty"),
        kConvert + std::string("190 [1] key = ") + kNewHex},
       kOld, kNew},
  };
  for (const KeyText& c : cases) {
    SCOPED_TRACE(c.why);
    SetKeys(kOldHex + "," + kCurrentHex);
    std::string text = c.text;
    vomaxel().SetSecureKey(text);
    EXPECT_EQ(Logged(), c.log);
    EXPECT_EQ(text, c.text) << "the key text is only read";
    ClearLog();
    ExpectKeys(c.oldKey, c.currentKey);
  }
}

TEST_F(KeyStore, ConvertsEachPairWithStrtol) {
  // "-1" -> ff, "zz" -> 00, " 1" -> 01, "7x" -> 07, ",1" -> 00 (a second comma).
  SetKeys("-1zz 17x0123456789abcdef01234567,c1,12233445566778899001122334400");
  const Bytes oldKey = {0xff, 0x00, 0x01, 0x07, 0x01, 0x23, 0x45, 0x67,
                        0x89, 0xab, 0xcd, 0xef, 0x01, 0x23, 0x45, 0x67};
  const Bytes currentKey = {0xc1, 0x00, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77,
                            0x88, 0x99, 0x00, 0x11, 0x22, 0x33, 0x44, 0x00};
  ExpectKeys(oldKey, currentKey);
}

TEST_F(KeyStore, ShortKeysArePaddedWithZeros) {
  SetKeys("deadbeef,0badcafe00112233445566778899");
  ExpectKeys(AesKey({0xde, 0xad, 0xbe, 0xef}),
             AesKey({0x0b, 0xad, 0xca, 0xfe, 0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77,
                     0x88, 0x99}));
}

TEST_F(KeyStore, RowStartingWithZeroByteCountsAsNotSet) {
  SetKeys(kNoKeys);
  EXPECT_EQ(Decrypt(OracleEncrypt(AesKey({0x00, 0xaa, 0xaa, 0xaa, 0xaa, 0xaa, 0xaa, 0xaa, 0xaa,
                                          0xaa, 0xaa, 0xaa, 0xaa, 0xaa, 0xaa, 0xaa}),
                                  kPlain)),
            "<failed>");
  EXPECT_EQ(Logged(), Lines{}) << "no key set: no attempt, no line";
  EXPECT_TRUE(Encrypt(kPlain).empty());
  EXPECT_EQ(Logged(), Lines{kNotSet});
}

TEST_F(KeyStore, KeysSetThroughOneObjectServeEveryObject) {
  IVomaxel* other = Plugin::Get().Create();
  std::string text = kOldHex + "," + kNewHex;
  other->SetSecureKey(text);
  Plugin::Get().Destroy(other);
  ClearLog();
  ExpectKeys(kOld, kNew);
}

TEST_F(KeyStore, TextEndsAtItsFirstNul) {
  SetKeys(kOldHex + "," + kCurrentHex);
  std::string text = kNewHex + "," + std::string(1, '\0') + kNewHex;
  vomaxel().SetSecureKey(text);
  EXPECT_EQ(Logged(), (Lines{kConvert + std::string("190 [0] key = ") + kNewHex,
                             kConvert + std::string("186 [1] key is empty")}));
  std::string shortText = kNewHex.substr(0, 8) + std::string(1, '\0') + "," + kNewHex;
  ClearLog();
  vomaxel().SetSecureKey(shortText);
  EXPECT_EQ(Logged(), (Lines{kInvalidKey + std::string("135 SMALLER THAN MIN_SECURE_KEY_SIZE"),
                             kRefused + kNewHex.substr(0, 8)}));
}

class BlockCipher : public KeyStore {};

// Keys of 1 to 32 bytes: the AES key is the first 16, padded with zeros.
TEST_F(BlockCipher, EveryKeyLengthAgreesWithOpenSsl) {
  const std::string digits = "f1e2d3c4b5a69788796a5b4c3d2e1f00112233445566778899aabbccddeeff01";
  for (size_t length = 2; length <= digits.size(); length += 2) {
    SCOPED_TRACE(length);
    Bytes bytes;
    for (size_t i = 0; i < length; i += 2) {
      bytes.push_back(static_cast<unsigned char>(std::stoi(digits.substr(i, 2), nullptr, 16)));
    }
    const Bytes key = AesKey(bytes);
    SetKeys(kOldHex + "," + digits.substr(0, length));
    ExpectKeys(kOld, key);
    SetKeys(digits.substr(0, length) + ",00" + kCurrentHex.substr(2));
    ExpectKeys(key, {});
  }
}

TEST_F(BlockCipher, DecryptsUnderTheCurrentKeyThenTheOldOne) {
  SetKeys(kOldHex + "," + kCurrentHex);
  EXPECT_EQ(Decrypt(OracleEncrypt(kCurrent, kPlain)), kPlain);
  EXPECT_EQ(Logged(), Lines{});
  EXPECT_EQ(Decrypt(OracleEncrypt(kOld, kPlain)), kPlain);
  EXPECT_EQ(Logged(), Lines{FinalFailed(1)});
  ClearLog();
  EXPECT_EQ(Decrypt(OracleEncrypt(kNew, kPlain)), "<failed>");
  EXPECT_EQ(Logged(), (Lines{FinalFailed(1), FinalFailed(0)}));
}

TEST_F(BlockCipher, OldKeyAloneIsUsedWithoutAnAttemptOfTheCurrent) {
  SetKeys(kOldHex + ",00" + kCurrentHex.substr(2));
  EXPECT_EQ(Decrypt(OracleEncrypt(kOld, kPlain)), kPlain);
  EXPECT_EQ(Logged(), Lines{});
  EXPECT_TRUE(Encrypt(kPlain).empty());
  EXPECT_EQ(Logged(), Lines{kNotSet});
}

TEST_F(BlockCipher, EmptyPlainTextCountsAsFailure) {
  SetKeys(kOldHex + "," + kCurrentHex);
  EXPECT_EQ(Decrypt(OracleEncrypt(kCurrent, "")), "<failed>");
  EXPECT_EQ(Logged(), Lines{FinalFailed(0)}) << "the current key succeeds with 0 bytes";
  ClearLog();
  EXPECT_EQ(Decrypt(OracleEncrypt(kOld, "")), "<failed>");
  EXPECT_EQ(Logged(), Lines{FinalFailed(1)});
}

TEST_F(BlockCipher, RefusesPartialBlocks) {
  SetKeys(kOldHex + "," + kCurrentHex);
  Bytes cipher = OracleEncrypt(kCurrent, kPlain);
  cipher.resize(cipher.size() + 4, 0x42);
  EXPECT_EQ(Decrypt(cipher), "<failed>");
  EXPECT_EQ(Logged(), (Lines{FinalFailed(1), FinalFailed(0)}));
}

TEST_F(BlockCipher, EncryptsWithTheCurrentKeyToWholeBlocks) {
  SetKeys(kOldHex + "," + kCurrentHex);
  for (size_t length : {1, 15, 16, 17, 1533}) {
    std::string plain(length, 'x');
    for (size_t i = 0; i < length; ++i) plain[i] = static_cast<char>(i * 7);
    const Bytes cipher = Encrypt(plain);
    EXPECT_EQ(cipher.size(), (length / 16 + 1) * 16) << length;
    EXPECT_EQ(cipher, OracleEncrypt(kCurrent, plain)) << length;
    EXPECT_EQ(Decrypt(cipher), plain) << length;
  }
  EXPECT_EQ(Logged(), Lines{});
}

using CipherDeathTest = KeyStore;

TEST_F(CipherDeathTest, PreconditionsAbortWithTheirReport) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  unsigned char buffer[32] = {};
  const std::string encrypt = "int CACRCipherUtil::Encrypt(unsigned char*, unsigned char*, int)";
  EXPECT_DEATH(Cipher().SetKey(nullptr),
               testing::HasSubstr("Src/ACRCipherUtil.cpp:36: bool CACRCipherUtil::SetKey(const "
                                  "char*): Assertion `(pKey) != (__null)' failed."));
  EXPECT_DEATH(Cipher().Encrypt(nullptr, buffer, 1),
               testing::HasSubstr("Src/ACRCipherUtil.cpp:59: " + encrypt +
                                  ": Assertion `(pOutBuffer) != (__null)' failed."));
  EXPECT_DEATH(Cipher().Encrypt(buffer, nullptr, 1),
               testing::HasSubstr("Src/ACRCipherUtil.cpp:60: " + encrypt +
                                  ": Assertion `(pInBuffer) != (__null)' failed."));
  EXPECT_DEATH(Cipher().Encrypt(buffer, buffer, 0),
               testing::HasSubstr("Src/ACRCipherUtil.cpp:61: " + encrypt +
                                  ": Assertion `(inLen) != (0)' failed."));
}

}  // namespace
