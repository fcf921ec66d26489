#include "Session.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>

#include "HostEnv.h"
#include "HostError.h"
#include "Keys.h"

Session::Session(const Options& options) : plugin_(options.plugin) {
  hostenv::SetLogEcho(!options.quiet);
  // The options' texts live as long as the run.
  if (options.delimiter) ACR_STRING_MULTI_DELIMITER = options.delimiter->c_str();
  if (options.unknown) ACR_STRING_UNKNOWN = options.unknown->c_str();
  if (options.zero) ACR_STRING_ZERO = options.zero->c_str();

  if (options.key) SetKeys(vomaxel(), *options.key);
  if (options.keyFile) SetKeys(vomaxel(), KeyTextOfFile(ReadInput(*options.keyFile)));
}

std::string ReadInput(const std::string& path) {
  if (path == "-") {
    std::string text((std::istreambuf_iterator<char>(std::cin)), std::istreambuf_iterator<char>());
    if (std::cin.bad()) throw HostError("cannot read standard input");
    return text;
  }
  std::ifstream file(path, std::ios::binary);
  if (!file) throw HostError("cannot read '" + path + "': " + std::strerror(errno));
  std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (file.bad()) throw HostError("cannot read '" + path + "': " + std::strerror(errno));
  return text;
}

void Print(const std::string& text) {
  std::cout << text;
  std::cout.flush();  // keep the order with log lines on standard error
}
