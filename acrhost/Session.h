// One run of a subcommand as the host: the stand-in's log echo and constants
// set from the options, the plug-in loaded, and the keys handed in.

#ifndef VOMAXEL_ACRHOST_SESSION_H_
#define VOMAXEL_ACRHOST_SESSION_H_

#include <string>

#include "Commands.h"
#include "Plugin.h"

class Session {
 public:
  // Throws HostError when the plug-in does not load, a key file cannot be
  // read or the key store refuses the key text.
  explicit Session(const Options& options);

  Plugin& plugin() { return plugin_; }
  IVomaxel& vomaxel() { return plugin_.object(); }

 private:
  Plugin plugin_;
};

// The whole content of `path` ("-": standard input), byte for byte.
// Throws HostError when it cannot be read.
std::string ReadInput(const std::string& path);

// Writes `text` to standard output as it is.
void Print(const std::string& text);

#endif  // VOMAXEL_ACRHOST_SESSION_H_
