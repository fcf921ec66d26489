// The self-test's verdicts as its user reads them: one line per check, the
// first difference of a failed one, with -v the texts themselves, and the
// count of both kinds at the end.

#ifndef VOMAXEL_ACRHOST_VERDICTS_H_
#define VOMAXEL_ACRHOST_VERDICTS_H_

#include <string>

class Verdicts {
 public:
  // `verbose`: show the expected and the actual text under each check.
  explicit Verdicts(bool verbose) : verbose_(verbose) {}

  // Passes the check `label` when `actual` equals `expected` byte for byte.
  void Compare(const std::string& label, const std::string& expected, const std::string& actual);

  // Passes the check `label`, which compares no texts.
  void Pass(const std::string& label);

  // Fails the check `label` for a reason other than a different text.
  void Error(const std::string& label, const std::string& reason);

  int passed() const { return passed_; }
  int failed() const { return failed_; }

 private:
  const bool verbose_;
  int passed_ = 0;
  int failed_ = 0;
};

#endif  // VOMAXEL_ACRHOST_VERDICTS_H_
