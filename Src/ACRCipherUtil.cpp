// Placeholder until the cipher lands: no key is ever set, nothing decrypts.
#include "ACRCipherUtil.h"

#include <cstring>

void b64_encode(unsigned char*, unsigned int, unsigned char*, unsigned int* pOutLen) {
  if (pOutLen != NULL) *pOutLen = 0;
}

int b64_decode(unsigned char*, unsigned int, unsigned char*, unsigned int*) { return 0; }

int _b64_getVal(unsigned char) { return 0; }

CACRCipherUtil::CACRCipherUtil() { std::memset(m_Key, 0, sizeof(m_Key)); }

CACRCipherUtil::~CACRCipherUtil() {}

CACRCipherUtil* CACRCipherUtil::GetInstance() {
  static CACRCipherUtil instance;
  return &instance;
}

bool CACRCipherUtil::SetKey(const char*) { return false; }

int CACRCipherUtil::Decrypt(unsigned char*, unsigned char*, int) { return 0; }

int CACRCipherUtil::Encrypt(unsigned char*, unsigned char*, int) { return 0; }
