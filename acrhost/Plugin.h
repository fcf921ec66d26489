// libVomaxel.so loaded the way the receiver's ACR service loads it: dlopen
// with RTLD_NOW, then `create`, `destroy` and the exported cipher functions
// looked up in that one handle, so that a single copy of the plug-in (and of
// its key store) is in the process.

#ifndef VOMAXEL_ACRHOST_PLUGIN_H_
#define VOMAXEL_ACRHOST_PLUGIN_H_

#include <boost/optional.hpp>
#include <string>

#include "IVomaxel.h"

class Plugin {
 public:
  // Loads `path` (a bare file name goes through the loader's search, which
  // starts at acrhost's run path) and creates one object. Throws HostError
  // with dlerror's text when the library does not load.
  explicit Plugin(const std::string& path);
  ~Plugin();
  Plugin(const Plugin&) = delete;
  Plugin& operator=(const Plugin&) = delete;

  IVomaxel& object() { return *object_; }

  // The exported cipher functions, called as a host calls them, with bytes
  // in and out. Encrypt and Decrypt return what CACRCipherUtil wrote: empty
  // for its failure result 0; B64Decode has no value when b64_decode
  // refuses. Each throws HostError when the plug-in does not export the
  // function, and the cipher for no bytes (Encrypt would abort on them).
  std::string Encrypt(const std::string& plain);
  std::string Decrypt(const std::string& cipher);
  std::string B64Encode(const std::string& bytes);
  boost::optional<std::string> B64Decode(const std::string& text);

  // What the server does to one field: Encrypt under the current key, then
  // b64_encode. Throws HostError when Encrypt fails.
  std::string EncryptField(const std::string& plain);

 private:
  void* Symbol(const char* name) const;
  std::string Cipher(const char* name, const std::string& in);

  void* handle_;
  void (*destroy_)(IVomaxel*);
  IVomaxel* object_;
};

#endif  // VOMAXEL_ACRHOST_PLUGIN_H_
