// The host constants, as ordinary globals that a host program may re-point.
#include "HostEnv.h"
#include "IVomaxel.h"

namespace hostenv {

const char* const kDefaultEmpty = "";
const char* const kDefaultUnknown = "unknown";
const char* const kDefaultZero = "0";
const char* const kDefaultDelimiter = "|";

void RestoreDefaultConstants() {
  ACR_STRING_EMPTY = kDefaultEmpty;
  ACR_STRING_UNKNOWN = kDefaultUnknown;
  ACR_STRING_ZERO = kDefaultZero;
  ACR_STRING_MULTI_DELIMITER = kDefaultDelimiter;
}

}  // namespace hostenv

const char* ACR_STRING_EMPTY = hostenv::kDefaultEmpty;
const char* ACR_STRING_UNKNOWN = hostenv::kDefaultUnknown;
const char* ACR_STRING_ZERO = hostenv::kDefaultZero;
const char* ACR_STRING_MULTI_DELIMITER = hostenv::kDefaultDelimiter;
