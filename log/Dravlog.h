// The host's diagnostic log framework, as the plug-in compiles against it.
//
// The host supplies Dravlog's out-of-line members, Dravlog::DebugIO and the
// whole module class DravlogDunrik; the plug-in carries only what is inline
// here: Dravlog::Print and DravlogCommon. The plug-in creates the host's
// modules and calls them through the host's virtual tables, so the virtual
// operations stand in the host's order and no class here may gain a data
// member or a virtual operation.
//
// The framework's side of the contract. The plug-in's one call is
// Print<DravlogDunrik>(1, level, "%s:%d ...", ...), level 3 or 2 (IVomaxel.h
// gives every line): it makes the DravlogDunrik object on its first call
// unless the host made it before, and hands selector, level, format and
// arguments to its t_Print, from any thread, several at once. It never calls
// t_InitModule, t_AddModule, Reset or the level and module settings: a module
// that must register does so itself, and what a level means and which lines
// are kept are the host's. t_Print must not throw, and should not allocate:
// it may be called while memory is short.
//
// The module objects, and the record of the module that printed last, are one
// per process, whoever logs first: the classes keep default visibility even in
// a library built with hidden visibility, so that the statics behind them stay
// visible and the dynamic loader binds every copy to the host's definition
// where the host has one.

#ifndef VOMAXEL_LOG_DRAVLOG_H_
#define VOMAXEL_LOG_DRAVLOG_H_

#include <atomic>
#include <cstdarg>
#include <cstddef>

#define DRAVLOG_VISIBLE __attribute__((visibility("default")))

// The output object behind Dravlog::DebugIO.
class DravlogOutput {
 public:
  virtual ~DravlogOutput() {}
  // Formats and writes `format` with `args`.
  virtual void VPrint(const char* format, va_list* args) = 0;
  // Writes `text` as it is.
  virtual void Write(const char* text, int flags) = 0;
};

class DRAVLOG_VISIBLE Dravlog {
 public:
  Dravlog();
  virtual ~Dravlog() {}
  virtual void Reset();
  virtual void t_Print(unsigned long selector, unsigned long level, const char* format,
                       va_list* args) = 0;
  virtual void t_PrintR(unsigned long selector, unsigned long level, const char* format,
                        va_list* args) = 0;
  virtual void t_InitModule() = 0;
  virtual void t_ShowDebugSubMenu() {}
  virtual void t_SelectDebugSubMenu(int) {}
  virtual void t_SetDebugLevel(unsigned int level);
  virtual void t_SetDebugModule(unsigned long module, bool enable);
  virtual bool t_IsCommonModule() = 0;
  virtual void t_SetBackTraceLevel(int) {}

  // Logs one line through module T (selector non-zero) or DravlogCommon
  // (selector zero). Safe to call from several threads at once.
  template <typename T>
  static void Print(unsigned long selector, unsigned long level, const char* format, ...);

  static DravlogOutput* DebugIO;

 protected:
  void t_AddModule(const char* name, int id);

 private:
  // Each module object is made once, on first use, and lives until unload.
  template <typename T>
  static T* m_Instance() {
    static T* const instance = new T;
    return instance;
  }

  // The module that printed last.
  static std::atomic<Dravlog*>& printModule() {
    static std::atomic<Dravlog*> module(NULL);
    return module;
  }
};

// The module for selector zero: writes through DebugIO, when there is one.
class DRAVLOG_VISIBLE DravlogCommon : public Dravlog {
 public:
  virtual void t_Print(unsigned long, unsigned long, const char* format, va_list* args) {
    if (DebugIO == NULL) return;
    DebugIO->VPrint(format, args);
    DebugIO->Write("\n", 0);
  }
  virtual void t_PrintR(unsigned long, unsigned long, const char* format, va_list* args) {
    if (DebugIO == NULL) return;
    DebugIO->VPrint(format, args);
  }
  virtual void t_InitModule() { t_AddModule("CommonDebug", 1); }
  virtual bool t_IsCommonModule() { return true; }
};

// The host's own module, selected by a non-zero selector.
class DRAVLOG_VISIBLE DravlogDunrik : public Dravlog {
 public:
  virtual ~DravlogDunrik();
  virtual void Reset();
  virtual void t_Print(unsigned long selector, unsigned long level, const char* format,
                       va_list* args);
  virtual void t_PrintR(unsigned long selector, unsigned long level, const char* format,
                        va_list* args);
  virtual void t_InitModule();
  virtual void t_SetDebugLevel(unsigned int level);
  virtual void t_SetDebugModule(unsigned long module, bool enable);
  virtual bool t_IsCommonModule();
};

template <typename T>
void Dravlog::Print(unsigned long selector, unsigned long level, const char* format, ...) {
  Dravlog* module = selector != 0 ? static_cast<Dravlog*>(m_Instance<T>())
                                  : static_cast<Dravlog*>(m_Instance<DravlogCommon>());
  printModule().store(module, std::memory_order_relaxed);
  va_list args;
  va_start(args, format);
  module->t_Print(selector, level, format, &args);
  va_end(args);
}

#endif  // VOMAXEL_LOG_DRAVLOG_H_
