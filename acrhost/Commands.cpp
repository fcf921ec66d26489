// The subcommands other than demo: one interface operation each, with the
// input handed over byte for byte and the results printed as they come.
#include "Commands.h"

#include <string>
#include <vector>

#include "HostError.h"
#include "ReportRequest.h"
#include "Session.h"
#include "WireForm.h"

namespace {

MATCHING_ENGINE_TYPE EngineOf(const Options& options, int fallback) {
  return static_cast<MATCHING_ENGINE_TYPE>(options.engine.value_or(fallback));
}

[[noreturn]] void Rejected(const char* operation, const char* how) {
  throw HostError(std::string(operation) + " rejected the input: " + how + " (see the log)");
}

}  // namespace

void RunDecryptMatch(const Options& options) {
  const std::string answer = ReadInput(options.input);
  Session session(options);
  ACR_MATCH_INFO record{};
  std::string decrypted;
  session.vomaxel().DecryptMatchInfo(answer, record, decrypted);
  Print(decrypted);
  if (options.printRecord) {
    Print(session.vomaxel().MakeACRInfoJson(EngineOf(options, record.nEngineType), record));
  }
  if (decrypted.empty()) Rejected("DecryptMatchInfo", "it left the output text untouched");
}

void RunDecryptEvent(const Options& options) {
  const std::string eventInfo = ReadInput(options.input);
  Session session(options);
  const std::string decrypted = session.vomaxel().DecryptEachEventInfo(eventInfo);
  if (decrypted.empty()) Rejected("DecryptEachEventInfo", "it returned the empty text");
  Print(decrypted);
}

void RunEncrypt(const Options& options) {
  const std::string plain = ReadInput(options.input);
  Session session(options);
  Print(ToWireForm(session.plugin(), plain));
}

void RunMatchInfo(const Options& options) {
  const std::string matchInfo = ReadInput(options.input);
  Session session(options);
  ACR_MATCH_INFO record{};
  if (!session.vomaxel().ParserACRInfoJson(matchInfo.c_str(), record)) {
    Rejected("ParserACRInfoJson", "it returned false");
  }
  Print(session.vomaxel().MakeACRInfoJson(EngineOf(options, record.nEngineType), record));
}

void RunReport(const Options& options) {
  ReportRequest request = ParseReportRequest(ReadInput(options.input));
  Session session(options);
  std::string report;
  if (!MakeReport(session.vomaxel(), request, report)) Rejected("MakeAcrData", "it returned false");
  Print(report);
}

void RunEventMessage(const Options& options) {
  const std::string acrInfo = options.acrInfoFile ? ReadInput(*options.acrInfoFile) : std::string();
  const std::string eventInfo =
      options.eventInfoFile ? ReadInput(*options.eventInfoFile) : std::string();
  Session session(options);
  std::string message;
  session.vomaxel().MakeEventMessage(EngineOf(options, 0), options.matchType, options.eventType,
                                     acrInfo, eventInfo, message);
  if (message.empty()) Rejected("MakeEventMessage", "it left the output text untouched");
  Print(message);
}

void RunEventList(const Options& options) {
  std::vector<std::string> entries;
  for (const std::string& path : options.inputs) entries.push_back(ReadInput(path));
  Session session(options);
  std::string list;
  session.vomaxel().MakeEventInfoList(entries, list);
  Print(list);
}

void RunAux(const Options& options) {
  Session session(options);
  Print(session.vomaxel().MakeAuxiliaryInfo(options.countryCode));
}

void RunDevice(const Options& options) {
  ACR_HDMI_DEVICE_INFO device{};  // zeroed: both names stay terminated
  options.vendor.copy(device.szVendor, sizeof(device.szVendor) - 1);
  options.product.copy(device.szProduct, sizeof(device.szProduct) - 1);
  device.nSource = options.source;
  Session session(options);
  std::string deviceInfo;
  if (!session.vomaxel().MakeDeviceInfoJson(options.nullDevice ? nullptr : &device, deviceInfo)) {
    Rejected("MakeDeviceInfoJson", "it returned false");
  }
  Print(deviceInfo);
}
