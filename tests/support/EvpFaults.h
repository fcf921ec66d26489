// Makes libcrypto's cipher calls fail on demand, as a receiver's libcrypto
// does when its provider refuses AES-CBC or it runs out of memory. Linking
// this into a host executable interposes the EVP functions the plug-in calls;
// they forward to libcrypto unless told to fail.

#ifndef VOMAXEL_TESTS_SUPPORT_EVPFAULTS_H_
#define VOMAXEL_TESTS_SUPPORT_EVPFAULTS_H_

namespace evp {

enum Function {
  kCipherCtxNew,  // returns null
  kAes128Cbc,     // returns null
  kDecryptInit,   // the others return 0
  kDecryptUpdate,
  kEncryptInit,
  kEncryptUpdate,
  kEncryptFinal,
};

// The next `calls` calls of `function` fail; every other call goes through.
void Fail(Function function, int calls);

// No call fails.
void Reset();

}  // namespace evp

#endif  // VOMAXEL_TESTS_SUPPORT_EVPFAULTS_H_
