// The host stand-in: what a receiver's ACR service supplies to the plug-in
// (the four ACR_STRING_* texts and the host's side of the log framework),
// with the controls a desk or a test needs over them.

#ifndef VOMAXEL_HOSTENV_HOSTENV_H_
#define VOMAXEL_HOSTENV_HOSTENV_H_

#include <string>
#include <vector>

namespace hostenv {

// The texts the stand-in gives the host constants at start-up.
extern const char* const kDefaultEmpty;      // ""
extern const char* const kDefaultUnknown;    // "unknown"
extern const char* const kDefaultZero;       // "0"
extern const char* const kDefaultDelimiter;  // "|"

// Points the four ACR_STRING_* constants at their start-up texts again.
void RestoreDefaultConstants();

// One log call as the host's module received it; `text` is the formatted message.
struct LogLine {
  unsigned long selector;
  unsigned long level;
  std::string text;
};

// Collects every log call made while it lives, without allocating in the log
// call itself. One capture at a time.
class LogCapture {
 public:
  LogCapture();
  ~LogCapture();
  std::vector<LogLine> Lines() const;
  void Clear();

 private:
  LogCapture(const LogCapture&);
  LogCapture& operator=(const LogCapture&);
};

// Whether log calls are written to standard error (default: yes).
void SetLogEcho(bool echo);

// Whether each log call gives up the processor once written, as a host's
// blocking log output does: threads that log then interleave at their log
// calls, also on a busy machine (default: no).
void SetLogYield(bool yield);

// How many log module objects (Dravlog::Dravlog) the process has made: one per
// module class that has logged, wherever it first logged from.
int ModuleConstructions();

}  // namespace hostenv

#endif  // VOMAXEL_HOSTENV_HOSTENV_H_
