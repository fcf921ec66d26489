// The two OpenSSL releases the self-test names: the one whose headers acrhost
// and the plug-in beside it were built against, and the libcrypto loaded in
// the process, which on a receiver is the host's and may be another.

#ifndef VOMAXEL_ACRHOST_OPENSSLRELEASE_H_
#define VOMAXEL_ACRHOST_OPENSSLRELEASE_H_

#include <string>

struct OpenSslRelease {
  std::string text;      // as OPENSSL_VERSION_TEXT: "OpenSSL 1.1.1w  11 Sep 2023", or "BoringSSL"
  unsigned long number;  // as OPENSSL_VERSION_NUMBER: the major release in the top 4 bits
  bool boringssl;        // whose number is that of the OpenSSL release it imitates

  // What headers and libcrypto must share: "BoringSSL", or "OpenSSL 3.x".
  std::string line() const {
    return boringssl ? "BoringSSL" : "OpenSSL " + std::to_string(number >> 28) + ".x";
  }
};

OpenSslRelease BuiltOpenSsl();
OpenSslRelease LoadedOpenSsl();

#endif  // VOMAXEL_ACRHOST_OPENSSLRELEASE_H_
