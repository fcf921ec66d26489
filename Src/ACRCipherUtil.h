// Base64 and AES-128-CBC for the encrypted fields of server answers, and the
// process-wide store of the two decryption keys. Everything declared here is
// exported under its ordinary C++ name: hosts link against these names.

#ifndef VOMAXEL_SRC_ACRCIPHERUTIL_H_
#define VOMAXEL_SRC_ACRCIPHERUTIL_H_

#include <string>

#define VOMAXEL_EXPORT __attribute__((visibility("default")))

// Standard-alphabet Base64 in caller-owned buffers: no allocation, no
// terminating NUL, no logging. The encoder's output needs 4 * ceil(inLen / 3)
// bytes, the decoder's 3 * (inLen / 4); neither checks.
VOMAXEL_EXPORT void b64_encode(unsigned char* pIn, unsigned int inLen, unsigned char* pOut,
                               unsigned int* pOutLen);
// Returns 1, or 0 when `pOutLen` is null or `inLen` is not a multiple of 4.
// Validates nothing else: characters outside the alphabet count as 0, and a
// "=" anywhere suppresses its byte's write.
VOMAXEL_EXPORT int b64_decode(unsigned char* pIn, unsigned int inLen, unsigned char* pOut,
                              unsigned int* pOutLen);
// The 6-bit value of a Base64 character; 0 for any other character.
VOMAXEL_EXPORT int _b64_getVal(unsigned char c);

class VOMAXEL_EXPORT CACRCipherUtil {
 public:
  enum KEY_TYPE { KEY_TYPE_OLD = 0, KEY_TYPE_CURRENT = 1, KEY_TYPE_MAX = 2 };

  enum {
    MIN_SECURE_KEY_SIZE = 32,    // shortest combined key text
    MAX_COMBINED_KEY_SIZE = 129, // two 64-digit keys and the delimiter
    MAX_SECURE_KEY_SIZE = 64     // longest text of one key
  };
  static const char SECURE_KEY_DELIMITER = ',';

  // The single object, made on first use.
  static CACRCipherUtil* GetInstance();

  // Stores "OLD,CURRENT" (hexadecimal). False only when the combined text is
  // refused; a refused half is logged and keeps its row. May run while other
  // threads decrypt or encrypt: they use the rows before the call or after it.
  bool SetKey(const char* pKey);

  // AES-128-CBC with a zero IV and PKCS#7 padding; `pOutBuffer` needs room for
  // `inLen` + 16 bytes. Return the bytes written, 0 on failure. Decrypt tries
  // the current key, then the old one; Encrypt uses the current key only.
  // Each call works from its own copy of the 16 key bytes of each row, both
  // taken at once.
  int Decrypt(unsigned char* pOutBuffer, unsigned char* pInBuffer, int inLen);
  int Encrypt(unsigned char* pOutBuffer, unsigned char* pInBuffer, int inLen);

 private:
  CACRCipherUtil();
  ~CACRCipherUtil();
  CACRCipherUtil(const CACRCipherUtil&);
  CACRCipherUtil& operator=(const CACRCipherUtil&);

  bool m_IsInvalidKey(const std::string& key);
  void m_SpliteKey(const std::string& key, std::string& oldKey, std::string& currentKey);
  void m_ConvertAndAssignKey(KEY_TYPE type, const std::string& hexKey);
  bool m_IsKeySet(KEY_TYPE type);
  int m_DecryptWithKeyType(KEY_TYPE type, unsigned char* pOutBuffer, unsigned char* pInBuffer,
                           int inLen);

  // Copies of the keys for the length of a call (KeyPair.h), not exported.
  friend class KeyPair;

  // A row holds a key's bytes followed by zeros; it is set when its first byte is not zero.
  // The key store's rows are read and written under a lock (ACRCipherUtil.cpp).
  unsigned char m_Key[KEY_TYPE_MAX][MAX_SECURE_KEY_SIZE + 1];
};

#endif  // VOMAXEL_SRC_ACRCIPHERUTIL_H_
