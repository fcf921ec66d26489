// The two keys that one call decrypts or encrypts with: a copy of the 16 key
// bytes of each row (all the cipher reads of a row, its set flag among them),
// both taken in one hold of the key store's lock, so that a SetKey on another
// thread changes neither halfway, and wiped when it goes.
//
// An operation that decrypts several fields takes one copy and decrypts all
// of them with it: its result comes from one key pair, whatever keys are
// handed in meanwhile. CACRCipherUtil::Decrypt takes a copy per call.

#ifndef VOMAXEL_SRC_KEYPAIR_H_
#define VOMAXEL_SRC_KEYPAIR_H_

#include "ACRCipherUtil.h"

class KeyPair {
 public:
  explicit KeyPair(const CACRCipherUtil& store);
  ~KeyPair();

  // CACRCipherUtil::Decrypt with these keys: the current key, then the old one.
  int Decrypt(unsigned char* pOutBuffer, unsigned char* pInBuffer, int inLen);

  // Decrypt for a server field, which is text: where the current key's
  // padding checks out but its plain text is not text (vomaxel::IsText) and
  // the old key's plain text is, the old key's, logged as the fall-back from
  // the current key that it is. Everything else as Decrypt, lines included.
  // May overwrite the `inLen` bytes of `pInBuffer`.
  int DecryptText(unsigned char* pOutBuffer, unsigned char* pInBuffer, int inLen);

  // The current key's row, or null where that key is not set.
  const unsigned char* CurrentKey();

 private:
  KeyPair(const KeyPair&);
  KeyPair& operator=(const KeyPair&);

  // Decrypt, telling which key's attempt gave the result.
  int Decrypt(unsigned char* pOutBuffer, unsigned char* pInBuffer, int inLen,
              CACRCipherUtil::KEY_TYPE* used);

  // A key store of its own, whose rows hold the copied bytes and zeros after
  // them: the store's own members (m_IsKeySet, m_DecryptWithKeyType, with
  // their fixed assertion and log lines) run on the copy unchanged.
  CACRCipherUtil keys_;
};

#endif  // VOMAXEL_SRC_KEYPAIR_H_
