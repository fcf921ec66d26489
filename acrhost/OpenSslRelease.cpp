#include "OpenSslRelease.h"

#include <openssl/crypto.h>
#include <openssl/opensslv.h>

// BoringSSL's OPENSSL_VERSION_TEXT names the OpenSSL it imitates; its own
// interface is counted by BORINGSSL_API_VERSION.
OpenSslRelease BuiltOpenSsl() {
#ifdef OPENSSL_IS_BORINGSSL
  return {"BoringSSL (API version " + std::to_string(BORINGSSL_API_VERSION) + ")",
          OPENSSL_VERSION_NUMBER, true};
#else
  return {OPENSSL_VERSION_TEXT, OPENSSL_VERSION_NUMBER, false};
#endif
}

// 1.1.0 renamed the functions; 1.0.2 has only the old names. BoringSSL,
// whose number imitates an OpenSSL release, is told by its answer: the fixed
// text "BoringSSL" under either name, where OpenSSL's begins "OpenSSL". The
// answer comes from the libcrypto that this process's calls reach, as the
// plug-in's do; a symbol of BoringSSL's own found with dlsym could belong to
// another library loaded beside that one.
OpenSslRelease LoadedOpenSsl() {
#if OPENSSL_VERSION_NUMBER < 0x10100000L
  const std::string text = SSLeay_version(SSLEAY_VERSION);
  const unsigned long number = SSLeay();
#else
  const std::string text = OpenSSL_version(OPENSSL_VERSION);
  const unsigned long number = OpenSSL_version_num();
#endif
  return {text, number, text.compare(0, 9, "BoringSSL") == 0};
}
