// One log module object per process, whoever logs first: a host that logs
// through the framework header before the plug-in's first line ("first"),
// one that logs only after it ("after"), and, built without
// VOMAXEL_HOST_LOGS, one that never instantiates Print<DravlogDunrik>. Each
// runs in a process of its own.
#include <iostream>
#include <string>
#include <vector>

#include "Dravlog.h"
#include "PluginFixture.h"

// Logs `text` as the host, where this host logs at all.
void HostLine([[maybe_unused]] std::vector<std::string>& expected,
              [[maybe_unused]] const std::string& text) {
#if VOMAXEL_HOST_LOGS
  Dravlog::Print<DravlogDunrik>(1, 3, "%s", text.c_str());
  expected.push_back(text);
#endif
}

int main(int argc, char** argv) {
  const std::string order = argc > 1 ? argv[1] : "";
  hostenv::SetLogEcho(false);
  hostenv::LogCapture capture;
  std::vector<std::string> expected;
  if (order == "first") HostLine(expected, "host: before the plug-in");
  IVomaxel* vomaxel = Plugin::Get().Create();
  ACR_MATCH_INFO record;
  vomaxel->ParserACRInfoJson("", record);
  expected.push_back(
      "virtual bool Vomaxel::ParserACRInfoJson(const char*, ACR_MATCH_INFO&):101 Parsing error! "
      "pInJsonString = ");
  Plugin::Get().Destroy(vomaxel);
  HostLine(expected, "host: after the plug-in");

  std::vector<std::string> logged;
  for (const hostenv::LogLine& line : capture.Lines()) logged.push_back(line.text);
  const int constructions = hostenv::ModuleConstructions();
  std::cout << "module objects constructed: " << constructions << "\n";
  for (const std::string& line : logged) std::cout << "logged: " << line << "\n";
  return constructions == 1 && logged == expected ? 0 : 1;
}
