#include "EvpFaults.h"

#include <dlfcn.h>
#include <openssl/evp.h>

#include <cstdlib>

namespace {

int g_failing[evp::kEncryptFinal + 1];

bool Fails(evp::Function function) {
  if (g_failing[function] == 0) return false;
  --g_failing[function];
  return true;
}

// libcrypto's own definition of the function this file replaces.
template <typename Function>
Function Real(Function, const char* name) {
  void* symbol = dlsym(RTLD_NEXT, name);
  if (symbol == nullptr) std::abort();
  return reinterpret_cast<Function>(symbol);
}

}  // namespace

namespace evp {

void Fail(Function function, int calls) { g_failing[function] = calls; }

void Reset() {
  for (int& calls : g_failing) calls = 0;
}

}  // namespace evp

extern "C" {

EVP_CIPHER_CTX* EVP_CIPHER_CTX_new() {
  static const auto real = Real(&EVP_CIPHER_CTX_new, "EVP_CIPHER_CTX_new");
  return Fails(evp::kCipherCtxNew) ? nullptr : real();
}

const EVP_CIPHER* EVP_aes_128_cbc() {
  static const auto real = Real(&EVP_aes_128_cbc, "EVP_aes_128_cbc");
  return Fails(evp::kAes128Cbc) ? nullptr : real();
}

int EVP_DecryptInit_ex(EVP_CIPHER_CTX* context, const EVP_CIPHER* cipher, ENGINE* engine,
                       const unsigned char* key, const unsigned char* iv) {
  static const auto real = Real(&EVP_DecryptInit_ex, "EVP_DecryptInit_ex");
  return Fails(evp::kDecryptInit) ? 0 : real(context, cipher, engine, key, iv);
}

int EVP_DecryptUpdate(EVP_CIPHER_CTX* context, unsigned char* out, int* outLength,
                      const unsigned char* in, int inLength) {
  static const auto real = Real(&EVP_DecryptUpdate, "EVP_DecryptUpdate");
  return Fails(evp::kDecryptUpdate) ? 0 : real(context, out, outLength, in, inLength);
}

int EVP_EncryptInit_ex(EVP_CIPHER_CTX* context, const EVP_CIPHER* cipher, ENGINE* engine,
                       const unsigned char* key, const unsigned char* iv) {
  static const auto real = Real(&EVP_EncryptInit_ex, "EVP_EncryptInit_ex");
  return Fails(evp::kEncryptInit) ? 0 : real(context, cipher, engine, key, iv);
}

int EVP_EncryptUpdate(EVP_CIPHER_CTX* context, unsigned char* out, int* outLength,
                      const unsigned char* in, int inLength) {
  static const auto real = Real(&EVP_EncryptUpdate, "EVP_EncryptUpdate");
  return Fails(evp::kEncryptUpdate) ? 0 : real(context, out, outLength, in, inLength);
}

int EVP_EncryptFinal_ex(EVP_CIPHER_CTX* context, unsigned char* out, int* outLength) {
  static const auto real = Real(&EVP_EncryptFinal_ex, "EVP_EncryptFinal_ex");
  return Fails(evp::kEncryptFinal) ? 0 : real(context, out, outLength);
}

}  // extern "C"
