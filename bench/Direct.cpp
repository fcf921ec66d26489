#include "Direct.h"

#include <benchmark/benchmark.h>
#include <openssl/evp.h>

#include <cstdarg>
#include <cstdio>

namespace direct {

namespace {

const int kMaxField = 2048;

}  // namespace

bool Parse(const std::string& text, const port::Features& features, Json::Value& root) {
  port::Reader reader(features);
  return reader.parse(text.data(), text.data() + text.size(), root, true);
}

void FormatLogLine(const char* format, ...) {
  char line[4096];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof(line), format, args);
  va_end(args);
  benchmark::DoNotOptimize(line);
}

int Decrypt(const unsigned char* key, unsigned char* out, const unsigned char* in, int length) {
  const unsigned char iv[16] = {};
  EVP_CIPHER_CTX* context = EVP_CIPHER_CTX_new();
  int updated = 0;
  int finished = 0;
  const bool ok = EVP_DecryptInit_ex(context, EVP_aes_128_cbc(), nullptr, key, iv) == 1 &&
                  EVP_DecryptUpdate(context, out, &updated, in, length) == 1 &&
                  EVP_DecryptFinal_ex(context, out + updated, &finished) == 1;
  EVP_CIPHER_CTX_free(context);
  return ok ? updated + finished : 0;
}

int Encrypt(const unsigned char* key, unsigned char* out, const unsigned char* in, int length) {
  const unsigned char iv[16] = {};
  EVP_CIPHER_CTX* context = EVP_CIPHER_CTX_new();
  int updated = 0;
  int finished = 0;
  const bool ok = EVP_EncryptInit_ex(context, EVP_aes_128_cbc(), nullptr, key, iv) == 1 &&
                  EVP_EncryptUpdate(context, out, &updated, in, length) == 1 &&
                  EVP_EncryptFinal_ex(context, out + updated, &finished) == 1;
  EVP_CIPHER_CTX_free(context);
  return ok ? updated + finished : 0;
}

std::string DecryptField(const unsigned char* key, const char* text, std::size_t length) {
  unsigned char cipher[kMaxField];
  unsigned char plain[kMaxField];
  int cipherLength = EVP_DecodeBlock(cipher, reinterpret_cast<const unsigned char*>(text),
                                     static_cast<int>(length));
  // EVP_DecodeBlock counts the padding characters as bytes.
  if (length > 0 && text[length - 1] == '=') --cipherLength;
  if (length > 1 && text[length - 2] == '=') --cipherLength;
  const int plainLength = Decrypt(key, plain, cipher, cipherLength);
  return std::string(reinterpret_cast<const char*>(plain), static_cast<std::size_t>(plainLength));
}

void DecryptFieldInPlace(const unsigned char* key, Json::Value& field) {
  const char* begin = nullptr;
  const char* end = nullptr;
  field.getString(&begin, &end);
  field = Json::Value(DecryptField(key, begin, static_cast<std::size_t>(end - begin)));
}

}  // namespace direct
