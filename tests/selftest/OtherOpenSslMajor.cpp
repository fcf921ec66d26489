// A process whose libcrypto reports another major release than the headers
// acrhost was built against, as when a receiver's host loads another OpenSSL
// than the SDK the plug-in was built with: the process defines the functions
// that name the loaded release, and the self-test's calls reach these.
#include <dlfcn.h>
#include <openssl/crypto.h>
#include <openssl/opensslv.h>

#include <cstdlib>

namespace {

// Under BoringSSL's headers, whose number says 1.1.1 too, 1.1.1w differs
// only in name.
#if OPENSSL_VERSION_NUMBER >= 0x30000000L || defined(OPENSSL_IS_BORINGSSL)
const char kOtherText[] = "OpenSSL 1.1.1w  11 Sep 2023";
const unsigned long kOtherNumber = 0x1010117fUL;
#else
const char kOtherText[] = "OpenSSL 3.5.7 9 Jun 2026";
const unsigned long kOtherNumber = 0x30500070UL;
#endif

// The release's own answer to every other question (folders, flags).
const char* Real(const char* name, int type) {
  const auto real = reinterpret_cast<const char* (*)(int)>(dlsym(RTLD_NEXT, name));
  if (real == nullptr) std::abort();
  return real(type);
}

}  // namespace

extern "C" {

#if OPENSSL_VERSION_NUMBER < 0x10100000L
const char* SSLeay_version(int type) {
  return type == SSLEAY_VERSION ? kOtherText : Real("SSLeay_version", type);
}
unsigned long SSLeay(void) { return kOtherNumber; }
#else
const char* OpenSSL_version(int type) {
  return type == OPENSSL_VERSION ? kOtherText : Real("OpenSSL_version", type);
}
unsigned long OpenSSL_version_num(void) { return kOtherNumber; }
#endif

}  // extern "C"
