// The two OpenSSL releases the self-test names: the one whose headers acrhost
// and the plug-in beside it were built against, and the libcrypto loaded in
// the process, which on a receiver is the host's and may be another.

#ifndef VOMAXEL_ACRHOST_OPENSSLRELEASE_H_
#define VOMAXEL_ACRHOST_OPENSSLRELEASE_H_

#include <string>

struct OpenSslRelease {
  std::string text;      // as OPENSSL_VERSION_TEXT: "OpenSSL 1.1.1w  11 Sep 2023"
  unsigned long number;  // as OPENSSL_VERSION_NUMBER: the major release in the top 4 bits

  unsigned long major() const { return number >> 28; }
};

OpenSslRelease BuiltOpenSsl();
OpenSslRelease LoadedOpenSsl();

#endif  // VOMAXEL_ACRHOST_OPENSSLRELEASE_H_
