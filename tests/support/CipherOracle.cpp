#include "CipherOracle.h"

#include <openssl/evp.h>

#include <memory>
#include <stdexcept>

namespace {

using Context = std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)>;

Bytes Run(bool encrypt, const Bytes& key, const unsigned char* in, int inLength, bool* ok) {
  const unsigned char iv[16] = {};
  Context context(EVP_CIPHER_CTX_new(), &EVP_CIPHER_CTX_free);
  Bytes out(static_cast<size_t>(inLength) + 16);
  int updated = 0;
  int finished = 0;
  *ok = EVP_CipherInit_ex(context.get(), EVP_aes_128_cbc(), nullptr, key.data(), iv,
                          encrypt ? 1 : 0) == 1 &&
        EVP_CipherUpdate(context.get(), out.data(), &updated, in, inLength) == 1 &&
        EVP_CipherFinal_ex(context.get(), out.data() + updated, &finished) == 1;
  out.resize(*ok ? static_cast<size_t>(updated + finished) : 0);
  return out;
}

}  // namespace

Bytes AesKey(const Bytes& bytes) {
  Bytes key(16, 0);
  for (size_t i = 0; i < bytes.size() && i < key.size(); ++i) key[i] = bytes[i];
  return key;
}

Bytes OracleEncrypt(const Bytes& key, const std::string& plain) {
  bool ok = false;
  Bytes cipher = Run(true, key, reinterpret_cast<const unsigned char*>(plain.data()),
                     static_cast<int>(plain.size()), &ok);
  if (!ok) throw std::runtime_error("oracle encryption failed");
  return cipher;
}

std::string OracleDecrypt(const Bytes& key, const Bytes& cipher, bool* ok) {
  const Bytes plain = Run(false, key, cipher.data(), static_cast<int>(cipher.size()), ok);
  return std::string(plain.begin(), plain.end());
}

std::string OracleBase64(const Bytes& bytes) {
  std::string text(4 * ((bytes.size() + 2) / 3) + 1, '\0');
  const int length = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(&text[0]), bytes.data(),
                                     static_cast<int>(bytes.size()));
  text.resize(static_cast<size_t>(length));
  return text;
}

std::string EncryptField(const Bytes& key, const std::string& plain) {
  return OracleBase64(OracleEncrypt(key, plain));
}
