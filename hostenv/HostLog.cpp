// The host's side of the log framework. Each log call becomes one line on
// standard error, "[<level>] <message>\n", written in one piece so that lines
// from several threads never interleave; a LogCapture sees the same calls.
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <mutex>

#include "Dravlog.h"
#include "HostEnv.h"

namespace {

std::mutex g_mutex;
std::vector<hostenv::LogLine>* g_capture = NULL;  // guarded by g_mutex
bool g_echo = true;                               // guarded by g_mutex
std::atomic<unsigned int> g_debugLevel(~0u);  // lines above this level are dropped
std::atomic<bool> g_moduleEnabled(true);

// Formats a line once, on the stack; only a line longer than the buffer is
// measured and formatted again.
std::string Format(const char* format, va_list* args) {
  char buffer[1024];
  va_list attempt;
  va_copy(attempt, *args);
  const int length = std::vsnprintf(buffer, sizeof(buffer), format, attempt);
  va_end(attempt);
  if (length <= 0) return std::string();
  if (static_cast<size_t>(length) < sizeof(buffer)) {
    return std::string(buffer, static_cast<size_t>(length));
  }
  std::string text(static_cast<size_t>(length) + 1, '\0');
  std::vsnprintf(&text[0], text.size(), format, *args);
  text.resize(static_cast<size_t>(length));
  return text;
}

void WriteAll(const std::string& text) {
  const char* data = text.data();
  size_t left = text.size();
  while (left > 0) {
    const ssize_t written = ::write(STDERR_FILENO, data, left);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;
    data += written;
    left -= static_cast<size_t>(written);
  }
}

void Emit(unsigned long selector, unsigned long level, const char* format, va_list* args,
          const char* ending) {
  if (!g_moduleEnabled || level > g_debugLevel) return;
  hostenv::LogLine line = {selector, level, Format(format, args)};
  std::lock_guard<std::mutex> lock(g_mutex);
  if (g_echo) {
    char prefix[32];
    std::snprintf(prefix, sizeof(prefix), "[%lu] ", level);
    WriteAll(prefix + line.text + ending);
  }
  if (g_capture != NULL) g_capture->push_back(line);
}

// DebugIO's output: standard error, for the common module.
class StderrOutput : public DravlogOutput {
 public:
  void VPrint(const char* format, va_list* args) override { WriteAll(Format(format, args)); }
  void Write(const char* text, int) override { WriteAll(text); }
};

StderrOutput g_stderrOutput;

}  // namespace

DravlogOutput* Dravlog::DebugIO = &g_stderrOutput;

Dravlog::Dravlog() {}

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
  std::lock_guard<std::mutex> lock(g_mutex);
  g_capture = new std::vector<LogLine>;
}

LogCapture::~LogCapture() {
  std::lock_guard<std::mutex> lock(g_mutex);
  delete g_capture;
  g_capture = NULL;
}

std::vector<LogLine> LogCapture::Lines() const {
  std::lock_guard<std::mutex> lock(g_mutex);
  return *g_capture;
}

void LogCapture::Clear() {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_capture->clear();
}

void SetLogEcho(bool echo) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_echo = echo;
}

}  // namespace hostenv
