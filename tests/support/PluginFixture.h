// A test fixture that loads libVomaxel.so the way the host does (dlopen with
// RTLD_NOW, create and destroy resolved by name), captures the plug-in's log
// lines, and puts the host constants back after every test.

#ifndef VOMAXEL_TESTS_SUPPORT_PLUGINFIXTURE_H_
#define VOMAXEL_TESTS_SUPPORT_PLUGINFIXTURE_H_

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "HostEnv.h"
#include "IVomaxel.h"
#include "JsoncppBehaviour.h"

// The loaded plug-in; loaded once per process and never unloaded.
class Plugin {
 public:
  static Plugin& Get();
  IVomaxel* Create() const { return create_(); }
  void Destroy(IVomaxel* object) const { destroy_(object); }
  // A symbol of the plug-in by its (decorated) name; fails the test when absent.
  void* Symbol(const char* name) const;

 private:
  Plugin();
  void* handle_;
  IVomaxel* (*create_)();
  void (*destroy_)(IVomaxel*);
};

class PluginTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  IVomaxel& vomaxel() { return *vomaxel_; }

  // Log lines since the test began (or the last ClearLog), as "[<level>] <message>".
  std::vector<std::string> Logged() const;
  void ClearLog() { log_.Clear(); }

 private:
  hostenv::LogCapture log_;
  IVomaxel* vomaxel_ = nullptr;
};

using Lines = std::vector<std::string>;

// A hand-written compact JSON text as jsoncpp's StyledWriter lays it out,
// comments kept: the whole text an answer or report must equal, written
// without its indentation. Fails the test where `json` does not parse.
std::string Styled(const std::string& json);

// Every member of a record, one per line, for whole-record comparisons.
std::string Describe(const ACR_MATCH_INFO& record);

#endif  // VOMAXEL_TESTS_SUPPORT_PLUGINFIXTURE_H_
