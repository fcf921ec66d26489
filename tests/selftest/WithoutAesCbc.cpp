// A libcrypto that refuses AES-128-CBC, as a receiver's might: the host
// process defines EVP_aes_128_cbc returning null, and the plug-in, which
// binds its libcrypto symbols from the host process, gets this one.
#include <openssl/evp.h>

const EVP_CIPHER* EVP_aes_128_cbc(void) { return nullptr; }
