#include "PluginFixture.h"

#include <dlfcn.h>

#include <cstdlib>
#include <iostream>

Plugin::Plugin() {
  handle_ = dlopen(VOMAXEL_PLUGIN_PATH, RTLD_NOW);
  if (handle_ == nullptr) {
    std::cerr << "cannot load " VOMAXEL_PLUGIN_PATH ": " << dlerror() << "\n";
    std::abort();
  }
  create_ = reinterpret_cast<IVomaxel* (*)()>(dlsym(handle_, "create"));
  destroy_ = reinterpret_cast<void (*)(IVomaxel*)>(dlsym(handle_, "destroy"));
  if (create_ == nullptr || destroy_ == nullptr) {
    std::cerr << VOMAXEL_PLUGIN_PATH " lacks create or destroy\n";
    std::abort();
  }
}

Plugin& Plugin::Get() {
  static Plugin plugin;
  return plugin;
}

void* Plugin::Symbol(const char* name) const {
  void* symbol = dlsym(handle_, name);
  EXPECT_NE(symbol, nullptr) << name;
  return symbol;
}

void PluginTest::SetUp() {
  hostenv::SetLogEcho(false);
  vomaxel_ = Plugin::Get().Create();
}

void PluginTest::TearDown() {
  Plugin::Get().Destroy(vomaxel_);
  hostenv::RestoreDefaultConstants();
  hostenv::SetLogEcho(true);
  for (const hostenv::LogLine& line : log_.Lines()) {
    EXPECT_EQ(line.selector, 1u) << "every line goes to the host's module: " << line.text;
  }
}

std::vector<std::string> PluginTest::Logged() const {
  std::vector<std::string> lines;
  for (const hostenv::LogLine& line : log_.Lines()) {
    lines.push_back("[" + std::to_string(line.level) + "] " + line.text);
  }
  return lines;
}

std::string Describe(const ACR_MATCH_INFO& r) {
  std::string text;
  auto text_member = [&text](const char* name, const std::string& value) {
    text += std::string(name) + "=" + value + "\n";
  };
  text_member("szChannelId", r.szChannelId);
  text_member("szChannelName", r.szChannelName);
  text_member("szProgramId", r.szProgramId);
  text_member("szProgramName", r.szProgramName);
  text_member("szStartTime", r.szStartTime);
  text_member("szMediaTime", r.szMediaTime);
  text_member("szIdType", r.szIdType);
  text_member("szSource", r.szSource);
  text_member("szGenre", r.szGenre);
  text_member("szAltIdType", r.szAltIdType);
  text_member("szAltContentId", r.szAltContentId);
  text_member("szAltContentTitle", r.szAltContentTitle);
  text_member("szAltStreamId", r.szAltStreamId);
  text_member("szBypassData", r.szBypassData);
  text += "nMatchCount=" + std::to_string(r.nMatchCount) + "\n";
  text += "nEngineType=" + std::to_string(r.nEngineType) + "\n";
  text += "nEventType=" + std::to_string(r.nEventType) + "\n";
  text += "bIsEngineStopped=" + std::to_string(r.bIsEngineStopped) + "\n";
  return text;
}

std::string Styled(const std::string& json) {
  Json::Value value;
  EXPECT_TRUE(jsoncpp::Parse(json, value)) << "expectation does not parse: " << json;
  return port::StyledWriter().write(value);
}
