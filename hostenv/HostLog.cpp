// The host's side of the log framework. Each log call becomes one line on
// standard error, "[<level>] <message>\n", written in one piece so that lines
// from several threads never interleave; a LogCapture sees the same calls.
//
// A log call never touches the heap: the plug-in relies on logging neither
// failing nor throwing, also when the process has run out of memory. A line
// is formatted on the stack, or in pages of its own when it is longer; the
// capture keeps its lines in an unlinked temporary file rather than in
// containers (a receiver's C library may predate memfd_create).
#include <fcntl.h>
#include <sched.h>
#include <stdlib.h>
#include <sys/mman.h>
#include <sys/uio.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "Dravlog.h"
#include "HostEnv.h"

namespace {

std::mutex g_mutex;
int g_captureFile = -1;    // guarded by g_mutex
off_t g_captureSize = 0;   // guarded by g_mutex
bool g_echo = true;        // guarded by g_mutex
std::atomic<unsigned int> g_debugLevel(~0u);  // lines above this level are dropped
std::atomic<bool> g_moduleEnabled(true);
std::atomic<bool> g_yield(false);
std::atomic<int> g_moduleConstructions(0);

// `prefix`, the formatted message and `ending` as one text.
class FormattedLine {
 public:
  FormattedLine(const char* prefix, const char* format, va_list* args, const char* ending)
      : text_(stack_), mapped_(0) {
    const size_t prefixLength = std::strlen(prefix);
    const size_t endingLength = std::strlen(ending);
    va_list attempt;
    va_copy(attempt, *args);
    const int length = std::vsnprintf(stack_ + prefixLength, sizeof(stack_) - prefixLength,
                                      format, attempt);
    va_end(attempt);
    messageLength_ = length > 0 ? static_cast<size_t>(length) : 0;
    const size_t size = prefixLength + messageLength_ + endingLength + 1;
    if (size > sizeof(stack_)) {
      void* pages = mmap(NULL, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
      if (pages != MAP_FAILED) {
        text_ = static_cast<char*>(pages);
        mapped_ = size;
        std::vsnprintf(text_ + prefixLength, size - prefixLength, format, *args);
      } else {  // cut short rather than lost
        messageLength_ = sizeof(stack_) - prefixLength - endingLength - 1;
      }
    }
    std::memcpy(text_, prefix, prefixLength);
    message_ = text_ + prefixLength;
    std::memcpy(message_ + messageLength_, ending, endingLength + 1);
    length_ = prefixLength + messageLength_ + endingLength;
  }
  ~FormattedLine() {
    if (mapped_ != 0) munmap(text_, mapped_);
  }

  const char* text() const { return text_; }
  size_t length() const { return length_; }
  const char* message() const { return message_; }
  size_t messageLength() const { return messageLength_; }

 private:
  FormattedLine(const FormattedLine&);
  FormattedLine& operator=(const FormattedLine&);

  char stack_[1024];
  char* text_;
  size_t mapped_;
  char* message_;
  size_t messageLength_;
  size_t length_;
};

// "[<level>] " into `out`, which has room for any level.
void FormatLevel(unsigned long level, char (&out)[32]) {
  char digits[24];
  size_t count = 0;
  do {
    digits[count++] = static_cast<char>('0' + level % 10);
    level /= 10;
  } while (level != 0);
  size_t at = 0;
  out[at++] = '[';
  while (count > 0) out[at++] = digits[--count];
  out[at++] = ']';
  out[at++] = ' ';
  out[at] = '\0';
}

void WriteAll(const char* data, size_t left) {
  while (left > 0) {
    const ssize_t written = ::write(STDERR_FILENO, data, left);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;
    data += written;
    left -= static_cast<size_t>(written);
  }
}

// How a captured line is kept: this header, then the message's bytes.
struct CapturedHeader {
  unsigned long selector;
  unsigned long level;
  size_t length;
};

void Capture(unsigned long selector, unsigned long level, const FormattedLine& line) {
  CapturedHeader header = {selector, level, line.messageLength()};
  iovec parts[2] = {{&header, sizeof(header)},
                    {const_cast<char*>(line.message()), line.messageLength()}};
  const ssize_t written = pwritev(g_captureFile, parts, 2, g_captureSize);
  if (written == static_cast<ssize_t>(sizeof(header) + line.messageLength())) {
    g_captureSize += written;
  }
}

void Emit(unsigned long selector, unsigned long level, const char* format, va_list* args,
          const char* ending) {
  if (!g_moduleEnabled || level > g_debugLevel) return;
  char prefix[32];
  FormatLevel(level, prefix);
  const FormattedLine line(prefix, format, args, ending);
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (g_echo) WriteAll(line.text(), line.length());
    if (g_captureFile >= 0) Capture(selector, level, line);
  }
  if (g_yield) sched_yield();
}

// DebugIO's output: standard error, for the common module.
class StderrOutput : public DravlogOutput {
 public:
  void VPrint(const char* format, va_list* args) override {
    const FormattedLine line("", format, args, "");
    WriteAll(line.text(), line.length());
  }
  void Write(const char* text, int) override { WriteAll(text, std::strlen(text)); }
};

StderrOutput g_stderrOutput;

}  // namespace

DravlogOutput* Dravlog::DebugIO = &g_stderrOutput;

Dravlog::Dravlog() { ++g_moduleConstructions; }

void Dravlog::Reset() {}

void Dravlog::t_SetDebugLevel(unsigned int level) { g_debugLevel = level; }

void Dravlog::t_SetDebugModule(unsigned long, bool enable) { g_moduleEnabled = enable; }

// A desk host keeps no module menu, so there is nothing to register.
void Dravlog::t_AddModule(const char*, int) {}

DravlogDunrik::~DravlogDunrik() {}

void DravlogDunrik::Reset() {
  g_debugLevel = ~0u;
  g_moduleEnabled = true;
}

void DravlogDunrik::t_Print(unsigned long selector, unsigned long level, const char* format,
                            va_list* args) {
  Emit(selector, level, format, args, "\n");
}

void DravlogDunrik::t_PrintR(unsigned long selector, unsigned long level, const char* format,
                             va_list* args) {
  Emit(selector, level, format, args, "");
}

void DravlogDunrik::t_InitModule() { t_AddModule("Dunrik", 2); }

void DravlogDunrik::t_SetDebugLevel(unsigned int level) { Dravlog::t_SetDebugLevel(level); }

void DravlogDunrik::t_SetDebugModule(unsigned long module, bool enable) {
  Dravlog::t_SetDebugModule(module, enable);
}

bool DravlogDunrik::t_IsCommonModule() { return false; }

namespace hostenv {

LogCapture::LogCapture() {
  char path[] = "/tmp/vomaxel-log-capture-XXXXXX";
  const int file = mkostemp(path, O_CLOEXEC);
  if (file >= 0) unlink(path);
  std::lock_guard<std::mutex> lock(g_mutex);
  g_captureFile = file;
  g_captureSize = 0;
}

LogCapture::~LogCapture() {
  std::lock_guard<std::mutex> lock(g_mutex);
  if (g_captureFile >= 0) close(g_captureFile);
  g_captureFile = -1;
}

std::vector<LogLine> LogCapture::Lines() const {
  std::string records;
  {
    std::lock_guard<std::mutex> lock(g_mutex);
    records.resize(static_cast<size_t>(g_captureSize));
    if (!records.empty() &&
        pread(g_captureFile, &records[0], records.size(), 0) != g_captureSize) {
      records.clear();
    }
  }
  std::vector<LogLine> lines;
  for (size_t at = 0; at + sizeof(CapturedHeader) <= records.size();) {
    CapturedHeader header;
    std::memcpy(&header, &records[at], sizeof(header));
    at += sizeof(header);
    lines.push_back(LogLine{header.selector, header.level, records.substr(at, header.length)});
    at += header.length;
  }
  return lines;
}

void LogCapture::Clear() {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_captureSize = 0;
}

int ModuleConstructions() { return g_moduleConstructions; }

void SetLogYield(bool yield) { g_yield = yield; }

void SetLogEcho(bool echo) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_echo = echo;
}

}  // namespace hostenv
