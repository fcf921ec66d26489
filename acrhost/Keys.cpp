#include "Keys.h"

#include <vector>

#include "HostEnv.h"
#include "HostError.h"

namespace {

struct Verdict {
  const char* logged;  // part of the key store's log line
  const char* reason;
};

// The key store's refusals: of the whole text (followed by SetSecureKey's own
// level-2 line), then of one half (the text is still accepted).
const Verdict kRefusals[] = {
    {"SMALLER THAN MIN_SECURE_KEY_SIZE", "it is shorter than 32 characters"},
    {"LARGER THAN MAX_COMBINED_KEY_SIZE", "it is longer than 129 characters"},
    {"SECURE_KEY_DELIMITER IS NOT INCLUDED", "it has no ',' between the old and the current key"},
    {"SPLITED OLD KEY SIZE IS NOT EVEN OR LARGER THAN MAX_SECURE_KEY_SIZE",
     "the old key (before the first ',') has an odd number of digits or more than 64"},
    {"SPLITED CURRENT KEY SIZE IS NOT EVEN OR LARGER THAN MAX_SECURE_KEY_SIZE",
     "the current key (after the first ',') has an odd number of digits or more than 64"},
};

const char kSetKeyFailed[] = "pCipherUtil->SetKey() return false";

bool Contains(const std::string& text, const char* part) {
  return text.find(part) != std::string::npos;
}

}  // namespace

std::string KeyTextOfFile(const std::string& content) {
  std::string text = content;
  if (!text.empty() && text.back() == '\n') text.pop_back();
  if (!text.empty() && text.back() == '\r') text.pop_back();
  return text;
}

void SetKeys(IVomaxel& vomaxel, std::string keyText) {
  hostenv::LogCapture capture;
  vomaxel.SetSecureKey(keyText);
  const std::vector<hostenv::LogLine> lines = capture.Lines();

  std::vector<std::string> reasons;
  bool wholeRefused = false;
  for (const hostenv::LogLine& line : lines) {
    if (line.level == 2 && Contains(line.text, kSetKeyFailed)) wholeRefused = true;
    for (const Verdict& verdict : kRefusals) {
      if (Contains(line.text, verdict.logged)) reasons.push_back(verdict.reason);
    }
  }
  if (!wholeRefused && reasons.empty()) return;

  std::string message = wholeRefused ? "the key store refused the key text"
                                     : "the key store refused part of the key text";
  for (size_t i = 0; i < reasons.size(); ++i) message += (i == 0 ? ": " : "; ") + reasons[i];
  throw HostError(message);
}
