// Base64, the key store and AES-128-CBC.
#include "ACRCipherUtil.h"

#include <errno.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include <openssl/crypto.h>
#include <openssl/err.h>
#include <openssl/evp.h>

#include "KeyPair.h"
#include "LoggedKey.h"
#include "TextCheck.h"
#include "VomaxelLog.h"

namespace {

const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Value of each character; characters outside the alphabet, "=" included, are 0.
const unsigned char kValues[256] = {
    0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,
    0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,
    0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0, 62,  0,  0,  0, 63,
    52, 53, 54, 55, 56, 57, 58, 59, 60, 61,  0,  0,  0,  0,  0,  0,
    0,  0,  1,  2,  3,  4,  5,  6,  7,  8,  9, 10, 11, 12, 13, 14,
    15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25,  0,  0,  0,  0,  0,
    0, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40,
    41, 42, 43, 44, 45, 46, 47, 48, 49, 50, 51,  0,  0,  0,  0,  0,
};

// Fixed log texts (VomaxelLog.h): the signatures of this file's lines and
// assertion reports.
const char kSetKey[] = "bool CACRCipherUtil::SetKey(const char*)";
const char kIsInvalidKey[] = "bool CACRCipherUtil::m_IsInvalidKey(const string&)";
const char kSpliteKey[] =
    "void CACRCipherUtil::m_SpliteKey(const string&, std::string&, std::string&)";
const char kConvertAndAssignKey[] =
    "void CACRCipherUtil::m_ConvertAndAssignKey(CACRCipherUtil::KEY_TYPE, const string&)";
const char kIsKeySet[] = "bool CACRCipherUtil::m_IsKeySet(CACRCipherUtil::KEY_TYPE)";
const char kDecryptWithKeyType[] =
    "int CACRCipherUtil::m_DecryptWithKeyType(CACRCipherUtil::KEY_TYPE, unsigned char*, "
    "unsigned char*, int)";
const char kEncrypt[] = "int CACRCipherUtil::Encrypt(unsigned char*, unsigned char*, int)";

const int kBlockSize = 16;

// Keys may arrive on any thread while others decrypt or encrypt. The key
// store's rows are touched only with this mutex held: SetKey writes the rows
// it replaces, and a KeyPair copies the 16 key bytes of each row for a call
// to work from. Each unlock synchronizes with the next lock, so of any two
// accesses to the rows one happens before the other: no data race under the
// C++11 memory model, and every copy holds both keys as one SetKey left
// them. The constructor's zeroing happens before all of them (the
// function-local static's initialisation synchronizes with every
// GetInstance). The copies belong to one thread each. The mutex is constant-initialised, so it exists
// before any static constructor can call in; its critical sections only copy
// bytes, so they neither block for long nor log, allocate or throw.
std::mutex keyRowsGuard;

// Every copy of a key's text or bytes that this file makes is overwritten once
// used, on every path out, before its stack or heap memory is given back.
// OPENSSL_cleanse is a store no compiler removes as dead.

// Overwrites the characters of `text`, a string of this file's that no other
// string shares (the copy-on-write string would unshare it first).
void Wipe(std::string& text) {
  if (!text.empty()) OPENSSL_cleanse(&text[0], text.size());
}

// Wipes a string, or a range of bytes, when the scope ends: before the
// string frees its characters, before the bytes' stack frame is given up.
class WipeOnExit {
 public:
  explicit WipeOnExit(std::string& text) : text_(&text), bytes_(NULL), size_(0) {}
  WipeOnExit(void* bytes, std::size_t size) : text_(NULL), bytes_(bytes), size_(size) {}
  ~WipeOnExit() {
    if (text_ != NULL) {
      Wipe(*text_);
    } else {
      OPENSSL_cleanse(bytes_, size_);
    }
  }

 private:
  WipeOnExit(const WipeOnExit&);
  WipeOnExit& operator=(const WipeOnExit&);

  std::string* const text_;
  void* const bytes_;
  const std::size_t size_;
};

// The path of this file from the project's root, as assertion reports name
// it: the last "Src/" of __FILE__, which is the path the build handed the
// compiler, absolute or relative to the build folder.
constexpr bool IsSourceFolder(const char* at) {
  return at[0] == 'S' && at[1] == 'r' && at[2] == 'c' && at[3] == '/';
}
constexpr const char* PathFromRoot(const char* at, const char* found) {
  return *at == '\0' ? found : PathFromRoot(at + 1, IsSourceFolder(at) ? at : found);
}
constexpr const char* kThisFile = PathFromRoot(__FILE__, __FILE__);
static_assert(IsSourceFolder(kThisFile), "assertion reports name Src/ACRCipherUtil.cpp");

// Reports a broken precondition as the C library's assert does, then aborts.
// Unlike assert, it stays active when NDEBUG is defined.
void AssertionFailed(const char* condition, unsigned int line, const char* function) {
  std::fprintf(stderr, "%s: %s:%u: %s: Assertion `%s' failed.\n", program_invocation_short_name,
               kThisFile, line, function, condition);
  std::abort();
}

// The condition's text and the line are fixed texts (VomaxelLog.h): the
// line is given as VOMAXEL_FIXED_LINE(number).
#define CIPHER_ASSERT(condition, text, line, function) \
  do {                                                 \
    if (!(condition)) AssertionFailed(text, line, function); \
  } while (0)

// A cipher context for the length of one call.
class CipherContext {
 public:
  CipherContext() : context_(EVP_CIPHER_CTX_new()) {}
  ~CipherContext() { EVP_CIPHER_CTX_free(context_); }
  EVP_CIPHER_CTX* get() const { return context_; }

 private:
  CipherContext(const CipherContext&);
  CipherContext& operator=(const CipherContext&);
  EVP_CIPHER_CTX* const context_;
};

// The calling thread's OpenSSL error queue is the host's: a field the old
// key decrypts, or none does, leaves "bad decrypt" there, which a TLS
// connection on the same thread would take for its own fatal error. The
// errors queued within a cipher call's scope are removed when it ends; what
// the queue held before stays. With an empty queue there is nothing to mark,
// and the queue is emptied again.
class ErrorQueueMark {
 public:
  ErrorQueueMark() { ERR_set_mark(); }
  ~ErrorQueueMark() { ERR_pop_to_mark(); }

 private:
  ErrorQueueMark(const ErrorQueueMark&);
  ErrorQueueMark& operator=(const ErrorQueueMark&);
};

// The step of a decryption that failed.
enum DecryptionStep { kNoneFailed, kInitFailed, kUpdateFailed, kFinalFailed };

// AES-128-CBC decryption of `inLen` bytes under `key` (16 bytes), zero IV,
// PKCS#7 padding. `pOutBuffer` may be `pInBuffer` itself: EVP decrypts in
// place where the two are the same. The bytes written, or 0 with the step
// that failed in `*failed` (where not null).
int RunDecryption(const unsigned char* key, unsigned char* pOutBuffer,
                  const unsigned char* pInBuffer, int inLen, DecryptionStep* failed) {
  const ErrorQueueMark mark;
  DecryptionStep step = kInitFailed;
  int written = 0;
  const CipherContext context;
  unsigned char iv[kBlockSize];
  std::memset(iv, 0, sizeof(iv));
  if (context.get() != NULL &&
      EVP_DecryptInit_ex(context.get(), EVP_aes_128_cbc(), NULL, key, iv) == 1) {
    int updateLength = 0;
    step = kUpdateFailed;
    if (EVP_DecryptUpdate(context.get(), pOutBuffer, &updateLength, pInBuffer, inLen) == 1) {
      int finalLength = 0;
      step = kFinalFailed;
      if (EVP_DecryptFinal_ex(context.get(), pOutBuffer + updateLength, &finalLength) == 1) {
        step = kNoneFailed;
        written = updateLength + finalLength;
      }
    }
  }
  if (failed != NULL) *failed = step;
  return written;
}

// The line of a failed decryption step, with the key row's number.
void LogDecryptionFailure(CACRCipherUtil::KEY_TYPE type, DecryptionStep step) {
  const int row = static_cast<int>(type);
  if (step == kInitFailed) {
    VOMAXEL_LOG(3, "%s:%d [%d] ERR : EVP_DecryptInit_ex()", kDecryptWithKeyType,
                VOMAXEL_FIXED_LINE(226), row);
  } else if (step == kUpdateFailed) {
    VOMAXEL_LOG(3, "%s:%d [%d] ERR : EVP_DecryptUpdate()", kDecryptWithKeyType,
                VOMAXEL_FIXED_LINE(235), row);
  } else {
    VOMAXEL_LOG(3, "%s:%d [%d] ERR : EVP_DecryptFinal_ex()", kDecryptWithKeyType,
                VOMAXEL_FIXED_LINE(244), row);
  }
}

}  // namespace

void b64_encode(unsigned char* pIn, unsigned int inLen, unsigned char* pOut,
                unsigned int* pOutLen) {
  if (pOutLen == NULL) return;
  const unsigned char* in = pIn;
  const unsigned char* const groupsEnd = pIn + (inLen - inLen % 3);
  unsigned char* out = pOut;
  for (; in != groupsEnd; in += 3, out += 4) {
    const unsigned int v = (in[0] << 16) | (in[1] << 8) | in[2];
    out[0] = kAlphabet[v >> 18];
    out[1] = kAlphabet[(v >> 12) & 63];
    out[2] = kAlphabet[(v >> 6) & 63];
    out[3] = kAlphabet[v & 63];
  }
  const unsigned int remaining = inLen % 3;
  if (remaining > 0) {
    const unsigned int b0 = in[0], b1 = remaining == 2 ? in[1] : 0;
    out[0] = kAlphabet[b0 >> 2];
    out[1] = kAlphabet[((b0 & 3) << 4) | (b1 >> 4)];
    out[2] = remaining == 2 ? kAlphabet[(b1 & 15) << 2] : '=';
    out[3] = '=';
    out += 4;
  }
  *pOutLen = static_cast<unsigned int>(out - pOut);
}

int b64_decode(unsigned char* pIn, unsigned int inLen, unsigned char* pOut,
               unsigned int* pOutLen) {
  if (pOutLen == NULL || inLen % 4 != 0) return 0;
  *pOutLen = 0;
  if (inLen == 0) return 1;
  const unsigned char* in = pIn;
  const unsigned char* const end = pIn + inLen;
  unsigned char* out = pOut;
  for (; in != end; in += 4, out += 3) {
    const unsigned char c2 = in[2], c3 = in[3];
    const unsigned int v =
        (kValues[in[0]] << 18) | (kValues[in[1]] << 12) | (kValues[c2] << 6) | kValues[c3];
    out[0] = static_cast<unsigned char>(v >> 16);
    // A "=" suppresses its byte's write in any group, not only the last one.
    if (c2 != '=') out[1] = static_cast<unsigned char>(v >> 8);
    if (c3 != '=') out[2] = static_cast<unsigned char>(v);
  }
  unsigned int length = inLen / 4 * 3;
  if (pIn[inLen - 1] == '=') --length;
  if (pIn[inLen - 2] == '=') --length;
  *pOutLen = length;
  return 1;
}

int _b64_getVal(unsigned char c) { return kValues[c]; }

// Copies what the cipher reads of each row: the first 16 bytes, the set flag
// among them. The rest of the copy keeps its zeros.
KeyPair::KeyPair(const CACRCipherUtil& store) {
  std::lock_guard<std::mutex> lock(keyRowsGuard);
  std::memcpy(keys_.m_Key[CACRCipherUtil::KEY_TYPE_OLD],
              store.m_Key[CACRCipherUtil::KEY_TYPE_OLD], kBlockSize);
  std::memcpy(keys_.m_Key[CACRCipherUtil::KEY_TYPE_CURRENT],
              store.m_Key[CACRCipherUtil::KEY_TYPE_CURRENT], kBlockSize);
}

KeyPair::~KeyPair() {
  OPENSSL_cleanse(keys_.m_Key[CACRCipherUtil::KEY_TYPE_OLD], kBlockSize);
  OPENSSL_cleanse(keys_.m_Key[CACRCipherUtil::KEY_TYPE_CURRENT], kBlockSize);
}

int KeyPair::Decrypt(unsigned char* pOutBuffer, unsigned char* pInBuffer, int inLen) {
  CACRCipherUtil::KEY_TYPE used;
  return Decrypt(pOutBuffer, pInBuffer, inLen, &used);
}

int KeyPair::Decrypt(unsigned char* pOutBuffer, unsigned char* pInBuffer, int inLen,
                     CACRCipherUtil::KEY_TYPE* used) {
  *used = CACRCipherUtil::KEY_TYPE_CURRENT;
  if (keys_.m_IsKeySet(CACRCipherUtil::KEY_TYPE_CURRENT)) {
    const int written = keys_.m_DecryptWithKeyType(CACRCipherUtil::KEY_TYPE_CURRENT, pOutBuffer,
                                                   pInBuffer, inLen);
    if (written != 0) return written;
  }
  *used = CACRCipherUtil::KEY_TYPE_OLD;
  if (keys_.m_IsKeySet(CACRCipherUtil::KEY_TYPE_OLD)) {
    return keys_.m_DecryptWithKeyType(CACRCipherUtil::KEY_TYPE_OLD, pOutBuffer, pInBuffer,
                                      inLen);
  }
  return 0;
}

int KeyPair::DecryptText(unsigned char* pOutBuffer, unsigned char* pInBuffer, int inLen) {
  CACRCipherUtil::KEY_TYPE used;
  const int written = Decrypt(pOutBuffer, pInBuffer, inLen, &used);
  if (written == 0 || used != CACRCipherUtil::KEY_TYPE_CURRENT ||
      vomaxel::IsText(pOutBuffer, static_cast<std::size_t>(written)) ||
      !keys_.m_IsKeySet(CACRCipherUtil::KEY_TYPE_OLD)) {
    return written;
  }
  // The current key's padding checked out, but what it gave is not text: a
  // wrong key passes the padding check about once in 256. The old key is
  // tried without a line, in place over the ciphertext, which is not needed
  // any more; its result is taken only where it is text.
  const int oldWritten =
      RunDecryption(keys_.m_Key[CACRCipherUtil::KEY_TYPE_OLD], pInBuffer, pInBuffer, inLen, NULL);
  if (oldWritten == 0 || !vomaxel::IsText(pInBuffer, static_cast<std::size_t>(oldWritten))) {
    return written;
  }
  // Logged as the fall-back it is: the line of the current key's refusal.
  LogDecryptionFailure(CACRCipherUtil::KEY_TYPE_CURRENT, kFinalFailed);
  std::memcpy(pOutBuffer, pInBuffer, static_cast<std::size_t>(oldWritten));
  return oldWritten;
}

const unsigned char* KeyPair::CurrentKey() {
  return keys_.m_IsKeySet(CACRCipherUtil::KEY_TYPE_CURRENT)
             ? keys_.m_Key[CACRCipherUtil::KEY_TYPE_CURRENT]
             : NULL;
}

CACRCipherUtil::CACRCipherUtil() { std::memset(m_Key, 0, sizeof(m_Key)); }

CACRCipherUtil::~CACRCipherUtil() {}

CACRCipherUtil* CACRCipherUtil::GetInstance() {
  static CACRCipherUtil instance;
  return &instance;
}

bool CACRCipherUtil::SetKey(const char* pKey) {
  CIPHER_ASSERT(pKey != NULL, "(pKey) != (__null)", VOMAXEL_FIXED_LINE(36), kSetKey);
  std::string key(pKey);
  const WipeOnExit wipeKey(key);
  if (m_IsInvalidKey(key)) return false;
  std::string oldKey;
  std::string currentKey;
  const WipeOnExit wipeOldKey(oldKey);
  const WipeOnExit wipeCurrentKey(currentKey);
  m_SpliteKey(key, oldKey, currentKey);
  // The halves are converted (and logged) into a private object first; a
  // half that is empty by now replaces nothing. The rows replaced are then
  // published together, so that no call sees one half of them.
  CACRCipherUtil converted;
  const WipeOnExit wipeConverted(converted.m_Key, sizeof(converted.m_Key));
  converted.m_ConvertAndAssignKey(KEY_TYPE_OLD, oldKey);
  converted.m_ConvertAndAssignKey(KEY_TYPE_CURRENT, currentKey);
  std::lock_guard<std::mutex> lock(keyRowsGuard);
  if (!oldKey.empty()) {
    std::memcpy(m_Key[KEY_TYPE_OLD], converted.m_Key[KEY_TYPE_OLD], sizeof(m_Key[KEY_TYPE_OLD]));
  }
  if (!currentKey.empty()) {
    std::memcpy(m_Key[KEY_TYPE_CURRENT], converted.m_Key[KEY_TYPE_CURRENT],
                sizeof(m_Key[KEY_TYPE_CURRENT]));
  }
  return true;
}

bool CACRCipherUtil::m_IsInvalidKey(const std::string& key) {
  if (key.size() < MIN_SECURE_KEY_SIZE) {
    VOMAXEL_LOG(3, "%s:%d SMALLER THAN MIN_SECURE_KEY_SIZE", kIsInvalidKey,
                VOMAXEL_FIXED_LINE(135));
    return true;
  }
  if (key.size() > MAX_COMBINED_KEY_SIZE) {
    VOMAXEL_LOG(3, "%s:%d LARGER THAN MAX_COMBINED_KEY_SIZE", kIsInvalidKey,
                VOMAXEL_FIXED_LINE(141));
    return true;
  }
  if (key.find(SECURE_KEY_DELIMITER) == std::string::npos) {
    VOMAXEL_LOG(3, "%s:%d SECURE_KEY_DELIMITER IS NOT INCLUDED", kIsInvalidKey,
                VOMAXEL_FIXED_LINE(147));
    return true;
  }
  return false;
}

void CACRCipherUtil::m_SpliteKey(const std::string& key, std::string& oldKey,
                                 std::string& currentKey) {
  const std::string::size_type delimiter = key.find(SECURE_KEY_DELIMITER);
  oldKey.assign(key, 0, delimiter);
  currentKey.assign(key, delimiter + 1, std::string::npos);
  if (oldKey.size() % 2 != 0 || oldKey.size() > MAX_SECURE_KEY_SIZE) {
    VOMAXEL_LOG(3,
                "%s:%d SPLITED OLD KEY SIZE IS NOT EVEN OR LARGER THAN MAX_SECURE_KEY_SIZE",
                kSpliteKey, VOMAXEL_FIXED_LINE(165));
    Wipe(oldKey);
    oldKey.clear();
  }
  if (currentKey.size() % 2 != 0 || currentKey.size() > MAX_SECURE_KEY_SIZE) {
    VOMAXEL_LOG(3,
                "%s:%d SPLITED CURRENT KEY SIZE IS NOT EVEN OR LARGER THAN MAX_SECURE_KEY_SIZE",
                kSpliteKey, VOMAXEL_FIXED_LINE(173));
    Wipe(currentKey);
    currentKey.clear();
  }
}

void CACRCipherUtil::m_ConvertAndAssignKey(KEY_TYPE type, const std::string& hexKey) {
  CIPHER_ASSERT(type != KEY_TYPE_MAX, "(type) != (KEY_TYPE_MAX)", VOMAXEL_FIXED_LINE(182),
                kConvertAndAssignKey);
  if (hexKey.empty()) {
    VOMAXEL_LOG(3, "%s:%d [%d] key is empty", kConvertAndAssignKey, VOMAXEL_FIXED_LINE(186),
                static_cast<int>(type));
    return;
  }
  VOMAXEL_LOG(3, "%s:%d [%d] key = %s", kConvertAndAssignKey, VOMAXEL_FIXED_LINE(190),
              static_cast<int>(type), LoggedKey(hexKey).c_str());
  // Each pair converts on its own: what strtol can read of it, 0 if nothing.
  // The row is a private object's (SetKey's), so it takes the bytes directly.
  std::memset(m_Key[type], 0, sizeof(m_Key[type]));
  char pair[3] = {'\0', '\0', '\0'};
  const WipeOnExit wipePair(pair, sizeof(pair));
  for (std::string::size_type i = 0; i + 1 < hexKey.size(); i += 2) {
    pair[0] = hexKey[i];
    pair[1] = hexKey[i + 1];
    m_Key[type][i / 2] = static_cast<unsigned char>(std::strtol(pair, NULL, 16));
  }
}

bool CACRCipherUtil::m_IsKeySet(KEY_TYPE type) {
  CIPHER_ASSERT(type != KEY_TYPE_MAX, "(type) != (KEY_TYPE_MAX)", VOMAXEL_FIXED_LINE(124),
                kIsKeySet);
  return m_Key[type][0] != 0;
}

int CACRCipherUtil::Decrypt(unsigned char* pOutBuffer, unsigned char* pInBuffer, int inLen) {
  // Both attempts use one copy of the keys: one key pair, whole.
  KeyPair keys(*this);
  return keys.Decrypt(pOutBuffer, pInBuffer, inLen);
}

int CACRCipherUtil::m_DecryptWithKeyType(KEY_TYPE type, unsigned char* pOutBuffer,
                                         unsigned char* pInBuffer, int inLen) {
  CIPHER_ASSERT(type != KEY_TYPE_MAX, "(type) != (KEY_TYPE_MAX)", VOMAXEL_FIXED_LINE(216),
                kDecryptWithKeyType);
  DecryptionStep failed = kNoneFailed;
  const int written = RunDecryption(m_Key[type], pOutBuffer, pInBuffer, inLen, &failed);
  if (failed != kNoneFailed) LogDecryptionFailure(type, failed);
  return written;
}

int CACRCipherUtil::Encrypt(unsigned char* pOutBuffer, unsigned char* pInBuffer, int inLen) {
  CIPHER_ASSERT(pOutBuffer != NULL, "(pOutBuffer) != (__null)", VOMAXEL_FIXED_LINE(59), kEncrypt);
  CIPHER_ASSERT(pInBuffer != NULL, "(pInBuffer) != (__null)", VOMAXEL_FIXED_LINE(60), kEncrypt);
  CIPHER_ASSERT(inLen != 0, "(inLen) != (0)", VOMAXEL_FIXED_LINE(61), kEncrypt);
  KeyPair keys(*this);
  const unsigned char* const key = keys.CurrentKey();
  if (key == NULL) {
    VOMAXEL_LOG(3, "%s:%d current key is not set, yet", kEncrypt, VOMAXEL_FIXED_LINE(65));
    return 0;
  }
  const ErrorQueueMark mark;
  const CipherContext context;
  unsigned char iv[kBlockSize];
  std::memset(iv, 0, sizeof(iv));
  if (context.get() == NULL ||
      EVP_EncryptInit_ex(context.get(), EVP_aes_128_cbc(), NULL, key, iv) != 1) {
    VOMAXEL_LOG(3, "%s:%d ERR : EVP_EncryptInit()", kEncrypt, VOMAXEL_FIXED_LINE(77));
    return 0;
  }
  int updateLength = 0;
  if (EVP_EncryptUpdate(context.get(), pOutBuffer, &updateLength, pInBuffer, inLen) != 1) {
    VOMAXEL_LOG(3, "%s:%d ERR : EVP_EncryptUpdate()", kEncrypt, VOMAXEL_FIXED_LINE(86));
    return 0;
  }
  int finalLength = 0;
  if (EVP_EncryptFinal_ex(context.get(), pOutBuffer + updateLength, &finalLength) != 1) {
    VOMAXEL_LOG(3, "%s:%d ERR: EVP_EncryptFinal()", kEncrypt, VOMAXEL_FIXED_LINE(95));
    return 0;
  }
  return updateLength + finalLength;
}
