// `acrhost demo`: the typical request end to end, section by section, on the
// bundled sample answer and demo key.
#include <cstdlib>
#include <string>

#include "Commands.h"
#include "HostError.h"
#include "JsonInput.h"
#include "Keys.h"
#include "Samples.h"
#include "Session.h"
#include "WireForm.h"

namespace {

void Section(int number, const std::string& title) {
  Print((number > 1 ? "\n== " : "== ") + std::to_string(number) + ". " + title + " ==\n");
}

// The first match's value in a record's text member.
std::string FirstValue(const std::string& values) {
  const std::string delimiter = ACR_STRING_MULTI_DELIMITER;
  return delimiter.empty() ? values : values.substr(0, values.find(delimiter));
}

// What the host reports for the first match, with the whole record as
// content metadata (on one line, which keeps the plug-in's log line short).
BI_ST_ACRINFO ReportFor(const ACR_MATCH_INFO& record, const std::string& matchInfoJson) {
  BI_ST_ACRINFO acrInfo{};
  acrInfo.szStationName = FirstValue(record.szChannelName);
  acrInfo.szStreamName = FirstValue(record.szChannelId);
  acrInfo.nGlobalTime = 1700000000;  // the sample answer's query time, in seconds
  acrInfo.szContentId = FirstValue(record.szProgramId);
  acrInfo.szContentMeta = CompactJson(ParseJsonInput(matchInfoJson, "the record's JSON"));
  acrInfo.nMediaTime = std::atoi(FirstValue(record.szMediaTime).c_str());
  acrInfo.nLiveTag = 1;
  return acrInfo;
}

}  // namespace

void RunDemo(const Options& options) {
  Session session(options);
  IVomaxel& vomaxel = session.vomaxel();

  const std::string key = KeyTextOfFile(kSampleKey);
  Section(1, "SetSecureKey: the demo key, old key then current key");
  SetKeys(vomaxel, key);
  Print(key + "\n");

  Section(2, "A plain server answer with two matches");
  Print(kSampleAnswer);

  Section(3, "Its wire form: each encrypted member through Encrypt (current key) and b64_encode");
  const std::string wireForm = ToWireForm(session.plugin(), kSampleAnswer);
  Print(wireForm);

  Section(4, "DecryptMatchInfo: the answer with its members decrypted");
  ACR_MATCH_INFO record{};
  std::string decrypted;
  vomaxel.DecryptMatchInfo(wireForm, record, decrypted);
  if (decrypted.empty()) throw HostError("DecryptMatchInfo rejected the demo answer (see the log)");
  Print(decrypted);

  Section(5, "MakeACRInfoJson: the record DecryptMatchInfo filled, both matches");
  const std::string matchInfoJson = vomaxel.MakeACRInfoJson(MATCHING_ENGINE_TYPE_VIDEO, record);
  Print(matchInfoJson);

  Section(6, "MakeAcrData: an ACR data report for the first match, without an event");
  BI_ST_ACRINFO acrInfo = ReportFor(record, matchInfoJson);
  std::string report;
  vomaxel.MakeAcrData(1, 0, &acrInfo, nullptr, report);
  Print(report);
}
