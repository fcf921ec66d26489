// The library calls an operation must make, made directly: the floors the
// operations are measured against. Nothing here does more than jsoncpp,
// OpenSSL and vsnprintf require.

#ifndef VOMAXEL_BENCH_DIRECT_H_
#define VOMAXEL_BENCH_DIRECT_H_

#include <cstddef>
#include <string>

#include "JsonCpp.h"

namespace direct {

// Json::Reader::parse of the whole text with a reader of its own and comment
// collection on, as every parse of the plug-in is made.
bool Parse(const std::string& text, const port::Features& features, Json::Value& root);

// Formats one log line into a buffer, as the host's log framework must.
void FormatLogLine(const char* format, ...) __attribute__((format(printf, 1, 2)));

// AES-128-CBC under `key` (16 bytes), zero IV, with a fresh context:
// EVP_CIPHER_CTX_new, EVP_{De,En}cryptInit_ex with EVP_aes_128_cbc(),
// Update, Final_ex, EVP_CIPHER_CTX_free. The bytes written, 0 on failure.
int Decrypt(const unsigned char* key, unsigned char* out, const unsigned char* in, int length);
int Encrypt(const unsigned char* key, unsigned char* out, const unsigned char* in, int length);

// One encrypted server field: EVP_DecodeBlock of its Base64 text, then
// Decrypt; the plain text as a string.
std::string DecryptField(const unsigned char* key, const char* text, std::size_t length);

// Replaces the string `field` by its plain text.
void DecryptFieldInPlace(const unsigned char* key, Json::Value& field);

}  // namespace direct

#endif  // VOMAXEL_BENCH_DIRECT_H_
