// Fields during a key rotation, decoded as DecryptMatchInfo and
// DecryptEachEventInfo decode them: of the fields under the old key whose
// ciphertext the current key also decrypts with valid padding (found by
// search), how many come out wrong by the plain fall-back (CACRCipherUtil::
// Decrypt, which keeps it) and how many by the field decoding; and over
// random fields under the current key, how many the field decoding gives
// otherwise than the plain fall-back. Fields of the kinds and lengths a server
// sends; a fixed seed, so every run finds the same fields.
//   vomaxel_key_rotation [COLLISIONS [CURRENT_FIELDS]]   (10000, 100000)
// Exits non-zero where a field under the current key changed, or where more
// old-key fields come out wrong than by the plain fall-back.
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "ACRCipherUtil.h"
#include "CipherOracle.h"
#include "HostEnv.h"
#include "Inputs.h"
#include "FieldDecoding.h"
#include "KeyPair.h"
#include "Vomaxel.h"

namespace {

const char kFallBackLine[] =
    "int CACRCipherUtil::m_DecryptWithKeyType(CACRCipherUtil::KEY_TYPE, unsigned char*, "
    "unsigned char*, int):244 [1] ERR : EVP_DecryptFinal_ex()";

// Server fields: content, stream and alternative ids, and titles in English,
// Korean and French (UTF-8), or in Latin-1 where `latin1`.
class Fields {
 public:
  explicit Fields(unsigned seed) : random_(seed) {}

  std::string Next(bool latin1 = false) {
    if (latin1) return Title(true);
    switch (Pick(6)) {
      case 0: return "EP" + Digits(10) + "." + std::to_string(1700000000 + Pick(86400 * 365));
      case 1: return "P" + Digits(1 + Pick(6)) + "." + Digits(1 + Pick(4));
      case 2: return Digits(1 + Pick(5)) + "." + Words(kChannels, 1 + Pick(3));
      case 3: return (Pick(2) ? "SH" : "ALT-") + Digits(3 + Pick(6));
      default: return Title(latin1);
    }
  }

 private:
  static const std::vector<std::string> kChannels, kEnglish, kKorean, kFrench, kLatin1;

  unsigned Pick(unsigned n) { return std::uniform_int_distribution<unsigned>(0, n - 1)(random_); }
  std::string Digits(unsigned n) {
    std::string digits;
    while (digits.size() < n) digits += static_cast<char>('0' + Pick(10));
    return digits;
  }
  std::string Words(const std::vector<std::string>& words, unsigned n) {
    std::string text;
    for (unsigned i = 0; i < n; ++i) text += (i ? " " : "") + words[Pick(words.size())];
    return text;
  }
  std::string Title(bool latin1) {
    const unsigned words = 1 + Pick(8);
    std::string title = latin1         ? Words(kLatin1, words)
                        : Pick(4) == 0 ? Words(kKorean, words)
                        : Pick(3) == 0 ? Words(kFrench, words)
                                       : Words(kEnglish, words);
    if (Pick(3) == 0) title += ", part " + std::to_string(1 + Pick(300));
    return title;
  }

  std::mt19937 random_;
};

const std::vector<std::string> Fields::kChannels = {"News", "Channel Seven HD", "KBS1", "Sports",
                                                    "Movies", "Kids", "Music", "Weather"};
const std::vector<std::string> Fields::kEnglish = {
    "The", "Evening", "News", "Morning", "Quiz", "Night", "Show", "Live", "Drama",
    "Special", "World", "Cup", "Final", "Kitchen", "Garden", "Detective", "Island"};
const std::vector<std::string> Fields::kKorean = {
    "\xEB\x89\xB4\xEC\x8A\xA4", "\xEC\x95\x84\xEC\xB9\xA8",
    "\xEB\x93\x9C\xEB\x9D\xBC\xEB\xA7\x88", "\xEC\x8A\xA4\xED\x8F\xAC\xEC\xB8\xA0",
    "\xEC\x98\x81\xED\x99\x94", "\xEB\x82\xA0\xEC\x94\xA8"};
const std::vector<std::string> Fields::kFrench = {
    "Journal", "Caf\xC3\xA9", "Cr\xC3\xA8me", "Th\xC3\xA9\xC3\xA2tre", "\xC3\x89t\xC3\xA9",
    "du", "soir", "F\xC3\xAAte"};
const std::vector<std::string> Fields::kLatin1 = {"Journal", "Caf\xE9", "Cr\xE8me",
                                                  "Th\xE9\xE2tre", "\xC9t\xE9", "du", "soir",
                                                  "F\xEAte"};

// The plain fall-back's result for a field: CACRCipherUtil::Decrypt, and the
// text up to its first zero byte, as the field decoding cuts it.
std::string PlainFallBack(Bytes cipher) {
  unsigned char plain[2048 + 16];
  const int length = CACRCipherUtil::GetInstance()->Decrypt(plain, cipher.data(),
                                                           static_cast<int>(cipher.size()));
  if (length == 0) return "<failed>";
  return std::string(reinterpret_cast<const char*>(plain), static_cast<std::size_t>(length)).c_str();
}

int Count(const char* text, int fallback) { return text != nullptr ? std::atoi(text) : fallback; }

}  // namespace

int main(int argc, char** argv) {
  const int collisions = Count(argc > 1 ? argv[1] : nullptr, 10000);
  const int currentFields = Count(argc > 2 ? argv[2] : nullptr, 100000);
  hostenv::SetLogEcho(false);
  Vomaxel vomaxel;
  std::string keyText = inputs::KeyText();
  vomaxel.SetSecureKey(keyText);
  KeyPair keys(*CACRCipherUtil::GetInstance());
  const Bytes oldKey = inputs::OldKey(), currentKey = inputs::CurrentKey();
  hostenv::LogCapture log;

  Fields fields(20261207);
  long tried = 0;
  int found = 0, wrongBefore = 0, wrongAfter = 0, otherLines = 0;
  while (found < collisions) {
    const std::string plain = fields.Next();
    const Bytes cipher = OracleEncrypt(oldKey, plain);
    ++tried;
    bool padding = false;
    OracleDecrypt(currentKey, cipher, &padding);
    if (!padding) continue;
    ++found;
    wrongBefore += PlainFallBack(cipher) != plain;
    log.Clear();
    const std::string after = DecodeField(vomaxel, OracleBase64(cipher), keys);
    wrongAfter += after != plain;
    // A field the old key's text wins gives the fall-back's one line; one the
    // current key's noise keeps gives none, as before.
    const std::vector<hostenv::LogLine> lines = log.Lines();
    const bool linesAsExpected = after == plain
                                     ? lines.size() == 1 && lines[0].text == kFallBackLine
                                     : lines.empty();
    otherLines += !linesAsExpected;
  }
  std::printf("old-key fields: %ld tried, %d (%.2f %%) also decrypt under the current key with "
              "valid padding\n",
              tried, found, 100.0 * found / static_cast<double>(tried));
  std::printf("  wrong by the plain fall-back: %d; wrong now: %d; with other log lines than "
              "expected: %d\n",
              wrongBefore, wrongAfter, otherLines);

  int changed = 0, latin1 = 0;
  for (int i = 0; i < currentFields; ++i) {
    const bool isLatin1 = i % 10 == 9;
    latin1 += isLatin1;
    const Bytes cipher = OracleEncrypt(currentKey, fields.Next(isLatin1));
    log.Clear();
    changed += DecodeField(vomaxel, OracleBase64(cipher), keys) != PlainFallBack(cipher) ||
               !log.Lines().empty();
  }
  std::printf("current-key fields: %d (%d of them Latin-1 titles); decoded otherwise than "
              "by the plain fall-back, or with a log line: %d\n",
              currentFields, latin1, changed);
  return changed == 0 && wrongAfter <= wrongBefore && otherLines == 0 ? 0 : 1;
}
