#include "Plugin.h"

#include <dlfcn.h>

#include <climits>

#include "HostError.h"

namespace {

// Decorated names of the cipher exports:
// b64_encode(unsigned char*, unsigned int, unsigned char*, unsigned int*),
// b64_decode (the same parameters, returning int), CACRCipherUtil::GetInstance(),
// CACRCipherUtil::Encrypt(unsigned char*, unsigned char*, int) and Decrypt (the same).
const char kB64Encode[] = "_Z10b64_encodePhjS_Pj";
const char kB64Decode[] = "_Z10b64_decodePhjS_Pj";
const char kGetInstance[] = "_ZN14CACRCipherUtil11GetInstanceEv";
const char kEncrypt[] = "_ZN14CACRCipherUtil7EncryptEPhS0_i";
const char kDecrypt[] = "_ZN14CACRCipherUtil7DecryptEPhS0_i";

// acrhost compiles against the public headers only, so the cipher class is
// opaque here. Under the Itanium C++ ABI a non-virtual member function is an
// ordinary function that takes `this` as its first argument; the addresses
// of Encrypt and Decrypt are therefore called through a free function type
// with the object pointer in front.
using B64EncodeFunction = void (*)(unsigned char*, unsigned int, unsigned char*, unsigned int*);
using B64DecodeFunction = int (*)(unsigned char*, unsigned int, unsigned char*, unsigned int*);
using GetInstanceFunction = void* (*)();
using CipherFunction = int (*)(void* self, unsigned char* out, unsigned char* in, int inLen);

unsigned char* Bytes(std::string& text) { return reinterpret_cast<unsigned char*>(&text[0]); }

template <typename Function>
Function As(void* symbol) {
  return reinterpret_cast<Function>(symbol);
}

}  // namespace

Plugin::Plugin(const std::string& path) : handle_(dlopen(path.c_str(), RTLD_NOW)) {
  if (handle_ == nullptr) throw HostError(std::string("cannot load the plug-in: ") + dlerror());
  auto create = As<IVomaxel* (*)()>(Symbol("create"));
  destroy_ = As<void (*)(IVomaxel*)>(Symbol("destroy"));
  object_ = create();
}

// The library stays loaded until the process ends, as in the receiver: the
// log module objects it makes on first use live until it is unloaded.
Plugin::~Plugin() { destroy_(object_); }

void* Plugin::Symbol(const char* name) const {
  void* symbol = dlsym(handle_, name);
  if (symbol == nullptr) {
    throw HostError(std::string("the plug-in does not export ") + name + ": " + dlerror());
  }
  return symbol;
}

// Runs Encrypt or Decrypt on a copy of `in`: both take a non-const input
// buffer, and need room for `in`'s length + 16 bytes (a padding block).
std::string Plugin::Cipher(const char* name, const std::string& in) {
  auto getInstance = As<GetInstanceFunction>(Symbol(kGetInstance));
  auto cipher = As<CipherFunction>(Symbol(name));
  if (in.empty()) throw HostError("the cipher takes at least one byte");
  if (in.size() > static_cast<size_t>(INT_MAX - 16)) throw HostError("the text is too long");
  std::string input = in;
  std::string out(in.size() + 16, '\0');
  const int size = cipher(getInstance(), Bytes(out), Bytes(input), static_cast<int>(in.size()));
  out.resize(size > 0 ? static_cast<size_t>(size) : 0);
  return out;
}

std::string Plugin::Encrypt(const std::string& plain) { return Cipher(kEncrypt, plain); }

std::string Plugin::Decrypt(const std::string& cipher) { return Cipher(kDecrypt, cipher); }

std::string Plugin::B64Encode(const std::string& bytes) {
  auto b64Encode = As<B64EncodeFunction>(Symbol(kB64Encode));
  std::string input = bytes;
  std::string text(4 * ((bytes.size() + 2) / 3) + 1, '\0');  // + 1: a buffer even for no bytes
  unsigned int textSize = 0;
  b64Encode(Bytes(input), static_cast<unsigned int>(bytes.size()), Bytes(text), &textSize);
  text.resize(textSize);
  return text;
}

boost::optional<std::string> Plugin::B64Decode(const std::string& text) {
  auto b64Decode = As<B64DecodeFunction>(Symbol(kB64Decode));
  std::string input = text;
  std::string bytes(3 * (text.size() / 4) + 1, '\0');
  unsigned int size = 0;
  if (b64Decode(Bytes(input), static_cast<unsigned int>(text.size()), Bytes(bytes), &size) == 0) {
    return boost::none;
  }
  bytes.resize(size);
  return bytes;
}

std::string Plugin::EncryptField(const std::string& plain) {
  const std::string cipher = Encrypt(plain);
  if (cipher.empty()) {
    throw HostError("Encrypt failed (see the log): is a current key set? use --key or --key-file");
  }
  return B64Encode(cipher);
}
