// An independent cipher for tests: OpenSSL's EVP AES-128-CBC (zero IV,
// PKCS#7) and EVP_EncodeBlock, so that a fault in the plug-in's own codec or
// key conversion cannot hide behind the same fault in the test.

#ifndef VOMAXEL_TESTS_SUPPORT_CIPHERORACLE_H_
#define VOMAXEL_TESTS_SUPPORT_CIPHERORACLE_H_

#include <string>
#include <vector>

using Bytes = std::vector<unsigned char>;

// The 16-byte AES key for `bytes`: the first 16 bytes, padded with zeros.
Bytes AesKey(const Bytes& bytes);

// AES-128-CBC with a zero IV and PKCS#7 padding under `key` (16 bytes).
Bytes OracleEncrypt(const Bytes& key, const std::string& plain);
// The plain text under `key`; `*ok` tells whether the padding checked out.
std::string OracleDecrypt(const Bytes& key, const Bytes& cipher, bool* ok);

// Standard Base64 of `bytes`.
std::string OracleBase64(const Bytes& bytes);

// The wire form of a server field: Base64 of the ciphertext of `plain`.
std::string EncryptField(const Bytes& key, const std::string& plain);

#endif  // VOMAXEL_TESTS_SUPPORT_CIPHERORACLE_H_
