#include "OpenSslRelease.h"

#include <openssl/crypto.h>
#include <openssl/opensslv.h>

OpenSslRelease BuiltOpenSsl() { return {OPENSSL_VERSION_TEXT, OPENSSL_VERSION_NUMBER}; }

// 1.1.0 renamed the functions; 1.0.2 has only the old names.
OpenSslRelease LoadedOpenSsl() {
#if OPENSSL_VERSION_NUMBER < 0x10100000L
  return {SSLeay_version(SSLEAY_VERSION), SSLeay()};
#else
  return {OpenSSL_version(OPENSSL_VERSION), OpenSSL_version_num()};
#endif
}
