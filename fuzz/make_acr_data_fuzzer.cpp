// MakeAcrData, both overloads: the input holds the records' szContentMeta and
// szValue, separated by a NUL. Every call returns true and writes a report
// that parses with the default features (comments taken over from the texts
// may stand in it) and has the report's shape: the integers as given, a text
// embedded where it parses to a non-null value and carried as a string
// otherwise, and the ad object's seven members.
#include "FuzzSupport.h"

namespace {

const char* const kAdMembers[] = {"AdMediaTime", "AdURI",       "ContentId",
                                  "ContentTitle", "ContentType", "PromptDuration"};

BI_ST_ACRINFO AcrInfo(const std::string& meta) {
  BI_ST_ACRINFO info;
  info.szStationName = "Station";
  info.szStreamName = "Stream";
  info.nGlobalTime = 4294967295u;
  info.szContentId = "Content";
  info.szContentMeta = meta;
  info.nMediaTime = -1;
  info.nKillSwitch = 1;
  info.nLiveTag = 2;
  info.nHostReserved = 3;
  return info;
}

BI_ST_EVENTINFO EventInfo(const std::string& value) {
  BI_ST_EVENTINFO info;
  info.nType = 4;
  info.szStreamId = "StreamId";
  info.nGlobalTime = 2147483648u;
  info.nHostReserved = 5;
  info.szKey = "Key";
  info.szValue = value;
  return info;
}

void CheckAcrInfo(const Json::Value& object, const BI_ST_ACRINFO& info) {
  FUZZ_CHECK(fuzz::HasMembers(object, {"StationName", "StreamName", "ContentId", "ContentMeta",
                                       "MediaTime", "KillSwitch", "LiveTag", "GlobalTime"}));
  FUZZ_CHECK(object["StationName"] == info.szStationName);
  FUZZ_CHECK(object["MediaTime"].asInt() == info.nMediaTime);
  FUZZ_CHECK(object["GlobalTime"].asUInt() == info.nGlobalTime);
  Json::Value meta;
  if (!fuzz::ParseDefault(info.szContentMeta, &meta) || meta.isNull()) {
    meta = Json::Value(info.szContentMeta);
  }
  FUZZ_CHECK(object["ContentMeta"] == fuzz::Written(meta));
}

void CheckEventInfo(const Json::Value& object, const BI_ST_EVENTINFO& info) {
  FUZZ_CHECK(fuzz::HasMembers(object, {"Type", "StreamId", "Key", "Value", "GlobalTime"}));
  FUZZ_CHECK(object["Type"].asInt() == info.nType);
  FUZZ_CHECK(object["GlobalTime"].asUInt() == info.nGlobalTime);
  const Json::Value& value = object["Value"];
  if (info.szValue == "NULL" || info.szValue == "\"NULL\"") {
    FUZZ_CHECK(value == "NULL");
    return;
  }
  Json::Value parsed;
  if (!fuzz::ParseDefault(info.szValue, &parsed) || parsed.isNull()) {
    FUZZ_CHECK(value == fuzz::Written(Json::Value(info.szValue)));
  } else if (parsed.isObject()) {
    FUZZ_CHECK(value.size() == 7 && value["ReoccurrenceDuration"] == 0);
    for (const char* name : kAdMembers) {
      FUZZ_CHECK(value.isMember(name) && value[name] == fuzz::Written(parsed[name]));
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  IVomaxel& plugin = fuzz::Plugin();
  const std::vector<std::string> texts = fuzz::Split(data, size);
  const std::string meta = texts.size() > 0 ? texts[0] : std::string();
  const std::string value = texts.size() > 1 ? texts[1] : std::string();
  const int matchType = static_cast<int>(size);
  const int eventType = -static_cast<int>(size);

  BI_ST_ACRINFO acrInfo = AcrInfo(meta);
  BI_ST_EVENTINFO eventInfo = EventInfo(value);
  std::string output = "previous output";
  FUZZ_CHECK(plugin.MakeAcrData(matchType, eventType, &acrInfo, &eventInfo, output));
  if (!fuzz::Readable(output)) return 0;
  Json::Value report = fuzz::ReadOutput(output, true);
  FUZZ_CHECK(fuzz::HasMembers(report, {"MatchType", "EventType", "ACRInfo", "EventInfo"}));
  FUZZ_CHECK(report["MatchType"].asInt() == matchType);
  FUZZ_CHECK(report["EventType"].asInt() == eventType);
  CheckAcrInfo(report["ACRInfo"], acrInfo);
  CheckEventInfo(report["EventInfo"], eventInfo);

  // The batched report, each text once in each role.
  std::vector<BI_ST_ACRINFO> acrInfos = {AcrInfo(meta), AcrInfo(value)};
  std::vector<BI_ST_EVENTINFO> eventInfos = {EventInfo(value), EventInfo(meta)};
  FUZZ_CHECK(plugin.MakeAcrData(7, matchType, eventType, &acrInfos, &eventInfos, output));
  if (!fuzz::Readable(output)) return 0;
  report = fuzz::ReadOutput(output, true);
  FUZZ_CHECK(fuzz::HasMembers(report, {"Engine", "MatchType", "EventType", "ACRInfo", "EventInfo"}));
  FUZZ_CHECK(report["Engine"].asInt() == 7);
  FUZZ_CHECK(report["ACRInfo"].isArray() && report["ACRInfo"].size() == 2);
  FUZZ_CHECK(report["EventInfo"].isArray() && report["EventInfo"].size() == 2);
  for (Json::ArrayIndex i = 0; i < 2; ++i) {
    CheckAcrInfo(report["ACRInfo"][i], acrInfos[i]);
    CheckEventInfo(report["EventInfo"][i], eventInfos[i]);
  }
  return 0;
}
