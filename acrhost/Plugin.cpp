#include "Plugin.h"

#include <dlfcn.h>

#include <climits>
#include <vector>

#include "HostError.h"

namespace {

// Decorated names of the cipher exports that the server's side needs:
// b64_encode(unsigned char*, unsigned int, unsigned char*, unsigned int*),
// CACRCipherUtil::GetInstance() and
// CACRCipherUtil::Encrypt(unsigned char*, unsigned char*, int).
const char kB64Encode[] = "_Z10b64_encodePhjS_Pj";
const char kGetInstance[] = "_ZN14CACRCipherUtil11GetInstanceEv";
const char kEncrypt[] = "_ZN14CACRCipherUtil7EncryptEPhS0_i";

// acrhost compiles against the public headers only, so the cipher class is
// opaque here. Under the Itanium C++ ABI a non-virtual member function is an
// ordinary function that takes `this` as its first argument; Encrypt's
// address is therefore called through a free function type with the object
// pointer in front.
using B64EncodeFunction = void (*)(unsigned char*, unsigned int, unsigned char*, unsigned int*);
using GetInstanceFunction = void* (*)();
using EncryptFunction = int (*)(void* self, unsigned char* out, unsigned char* in, int inLen);

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

std::string Plugin::EncryptField(const std::string& plain) {
  auto getInstance = As<GetInstanceFunction>(Symbol(kGetInstance));
  auto encrypt = As<EncryptFunction>(Symbol(kEncrypt));
  auto b64Encode = As<B64EncodeFunction>(Symbol(kB64Encode));
  if (plain.size() > static_cast<size_t>(INT_MAX - 16))
    throw HostError("a field is too long to encrypt");

  std::vector<unsigned char> in(plain.begin(), plain.end());
  std::vector<unsigned char> cipher(in.size() + 16);  // room for the padding block
  const int cipherSize =
      encrypt(getInstance(), cipher.data(), in.data(), static_cast<int>(in.size()));
  if (cipherSize <= 0) {
    throw HostError("Encrypt failed (see the log): is a current key set? use --key or --key-file");
  }
  std::vector<unsigned char> text(4 * ((static_cast<size_t>(cipherSize) + 2) / 3));
  unsigned int textSize = 0;
  b64Encode(cipher.data(), static_cast<unsigned int>(cipherSize), text.data(), &textSize);
  return std::string(text.begin(), text.begin() + textSize);
}
