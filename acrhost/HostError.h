// The one kind of failure acrhost reports to its user: a message and exit
// status 1 (missing file, plug-in that does not load, refused key, rejected
// input). Usage errors are CLI11's and exit with 2.

#ifndef VOMAXEL_ACRHOST_HOSTERROR_H_
#define VOMAXEL_ACRHOST_HOSTERROR_H_

#include <stdexcept>
#include <string>

class HostError : public std::runtime_error {
 public:
  explicit HostError(const std::string& message) : std::runtime_error(message) {}
};

#endif  // VOMAXEL_ACRHOST_HOSTERROR_H_
