// What the key store's log lines show of a key text. Receivers' logs are often
// collected off the device, and the keys decrypt every server answer, so a
// build with VOMAXEL_MASK_KEYS shows only what helps a field engineer: the
// text's length and how many of its characters are not hexadecimal digits,
// e.g. "<masked: 32 characters, all hexadecimal>". Other builds show the text.

#ifndef VOMAXEL_SRC_LOGGEDKEY_H_
#define VOMAXEL_SRC_LOGGEDKEY_H_

#include <string>

class LoggedKey {
 public:
  // Neither allocates nor throws; `key` must outlive the object.
  explicit LoggedKey(const std::string& key);

  const char* c_str() const { return text_; }

 private:
  LoggedKey(const LoggedKey&);
  LoggedKey& operator=(const LoggedKey&);

  const char* text_;
  char masked_[80];  // room for two 20-digit counts
};

#endif  // VOMAXEL_SRC_LOGGEDKEY_H_
