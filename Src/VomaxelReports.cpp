// The JSON reports the host uploads: ACR data for one record pair or for lists
// of records, the event message and event list that wrap the host's own JSON
// texts, and the auxiliary and HDMI device info.
//
// A report replaces the caller's string only once its whole text is written,
// so a rejected input, or an allocation failure, leaves that string as it was.
#include <cstring>
#include <utility>

#include "JsonCpp.h"

#include "JsonText.h"
#include "Vomaxel.h"
#include "VomaxelLog.h"

namespace {

// Fixed log texts (VomaxelLog.h): the signatures of this file's lines.
const char kAcrDataSignature[] =
    "virtual bool Vomaxel::MakeAcrData(int, int, BI_ST_ACRINFO*, BI_ST_EVENTINFO*, std::string&)";
const char kAcrDataListSignature[] =
    "virtual bool Vomaxel::MakeAcrData(int, int, int, std::vector<_BI_ST_ACRINFO>*, "
    "std::vector<_BI_ST_EVENTINFO>*, std::string&)";
const char kEventMessageSignature[] =
    "virtual void Vomaxel::MakeEventMessage(MATCHING_ENGINE_TYPE, int, int, const string&, "
    "const string&, std::string&)";
const char kEventInfoListSignature[] =
    "virtual void Vomaxel::MakeEventInfoList(std::vector<std::basic_string<char> >&, "
    "std::string&)";
const char kDeviceInfoSignature[] =
    "virtual bool Vomaxel::MakeDeviceInfoJson(ACR_HDMI_DEVICE_INFO*, std::string&)";

// Stands in for a text of a missing record and marks an event without value.
const char kNullMarker[] = "NULL";

// The members of an event value that describe an ad; no other member reaches
// the report.
const char* const kAdMembers[] = {"AdMediaTime", "AdURI",       "ContentId",
                                  "ContentTitle", "ContentType", "PromptDuration"};

void SwapInText(std::string text, std::string& out) { out.swap(text); }

// The ACR info object of one record. `signature` names the report that logs.
Json::Value AcrInfoObject(const BI_ST_ACRINFO& info, const char* signature) {
  Json::Value object(Json::objectValue);
  object["StationName"] = Json::Value(info.szStationName);
  object["StreamName"] = Json::Value(info.szStreamName);
  object["ContentId"] = Json::Value(info.szContentId);

  VOMAXEL_LOG(3, "%s:%d  pAcrInfo->szContentMeta : %s", signature, __LINE__,
              info.szContentMeta.c_str());
  Json::Value meta;
  if (!vomaxel::ParseJson(info.szContentMeta, port::Features(), meta) || meta.isNull()) {
    VOMAXEL_LOG(3, "%s:%d pAcrInfo->szContentMeta : %s", signature, __LINE__,
                info.szContentMeta.c_str());
    meta = Json::Value(info.szContentMeta);
  }
  object["ContentMeta"].swap(meta);

  object["MediaTime"] = Json::Value(info.nMediaTime);
  object["KillSwitch"] = Json::Value(info.nKillSwitch);
  object["LiveTag"] = Json::Value(info.nLiveTag);
  object["GlobalTime"] = Json::Value(info.nGlobalTime);
  return object;
}

// What the single report says when it has no ACR info record.
Json::Value AcrInfoPlaceholder() {
  Json::Value object(Json::objectValue);
  object["StationName"] = Json::Value(kNullMarker);
  object["StreamName"] = Json::Value(kNullMarker);
  object["ContentId"] = Json::Value(kNullMarker);
  object["ContentMeta"] = Json::Value(kNullMarker);
  object["MediaTime"] = Json::Value(0);
  object["KillSwitch"] = Json::Value(0);
  object["LiveTag"] = Json::Value(0);
  object["GlobalTime"] = Json::Value(0);
  return object;
}

Json::Value AdObject(const Json::Value& parsed) {
  Json::Value ad(Json::objectValue);
  for (const char* member : kAdMembers) {
    ad[member] = parsed.get(member, Json::Value());
  }
  ad["ReoccurrenceDuration"] = Json::Value(0);
  return ad;
}

// "Value" of an event: the marker, the ad object, or else the text itself.
// Only an object can be read by member name, so any other value that parses
// is carried as text, like text that does not parse.
Json::Value EventValue(const std::string& text, const char* signature) {
  if (text == kNullMarker || text == "\"NULL\"") {
    return Json::Value(kNullMarker);
  }
  VOMAXEL_LOG(3, "%s:%d pEventInfo->szValue : %s", signature, __LINE__, text.c_str());
  Json::Value parsed;
  if (vomaxel::ParseJson(text, port::Features(), parsed) && parsed.isObject()) {
    return AdObject(parsed);
  }
  VOMAXEL_LOG(3, "%s:%d parsingSuccesssful is false", signature, __LINE__);
  return Json::Value(text);
}

// The event info object of one record. `signature` names the report that logs.
Json::Value EventInfoObject(const BI_ST_EVENTINFO& info, const char* signature) {
  Json::Value object(Json::objectValue);
  object["Type"] = Json::Value(info.nType);
  object["StreamId"] = Json::Value(info.szStreamId);
  object["Key"] = Json::Value(info.szKey);
  object["Value"] = EventValue(info.szValue, signature);
  object["GlobalTime"] = Json::Value(info.nGlobalTime);
  return object;
}

// What the single report says when it has no event record; only this form
// carries "Duration".
Json::Value EventInfoPlaceholder() {
  Json::Value object(Json::objectValue);
  object["Type"] = Json::Value(0);
  object["StreamId"] = Json::Value(kNullMarker);
  object["Key"] = Json::Value(kNullMarker);
  object["Value"] = Json::Value(kNullMarker);
  object["GlobalTime"] = Json::Value(0);
  object["Duration"] = Json::Value(0);
  return object;
}

// One of the event message's texts: empty gives null; anything else must be a
// non-empty object or array under the strict reader. The reader sees the text
// up to its first NUL.
bool ReadMessagePart(const std::string& text, Json::Value& value) {
  if (text.empty()) return true;
  const char* begin = text.c_str();
  return vomaxel::ParseJson(begin, begin + std::strlen(begin), port::Features::Strict(),
                            value) &&
         !value.empty();
}

}  // namespace

bool Vomaxel::MakeAcrData(int matchType, int eventType, BI_ST_ACRINFO* pAcrInfo,
                          BI_ST_EVENTINFO* pEventInfo, std::string& outJson) {
  try {
    Json::Value report(Json::objectValue);
    report["MatchType"] = Json::Value(matchType);
    report["EventType"] = Json::Value(eventType);
    report["ACRInfo"] =
        pAcrInfo != NULL ? AcrInfoObject(*pAcrInfo, kAcrDataSignature) : AcrInfoPlaceholder();
    report["EventInfo"] = pEventInfo != NULL ? EventInfoObject(*pEventInfo, kAcrDataSignature)
                                             : EventInfoPlaceholder();
    SwapInText(port::StyledWriter().write(report), outJson);
    return true;
  } catch (...) {
    vomaxel::RethrowForHost();
  }
}

bool Vomaxel::MakeAcrData(int engineType, int matchType, int eventType,
                          std::vector<BI_ST_ACRINFO>* pAcrInfoList,
                          std::vector<BI_ST_EVENTINFO>* pEventInfoList, std::string& outJson) {
  try {
    Json::Value report(Json::objectValue);
    report["MatchType"] = Json::Value(matchType);
    report["EventType"] = Json::Value(eventType);
    report["Engine"] = Json::Value(engineType);

    // A missing or empty list stays null; the first append makes an array.
    Json::Value acrInfos;
    if (pAcrInfoList != NULL) {
      for (const BI_ST_ACRINFO& info : *pAcrInfoList) {
        acrInfos.append(AcrInfoObject(info, kAcrDataListSignature));
      }
    }
    Json::Value eventInfos;
    if (pEventInfoList != NULL) {
      for (const BI_ST_EVENTINFO& info : *pEventInfoList) {
        eventInfos.append(EventInfoObject(info, kAcrDataListSignature));
      }
    }
    report["ACRInfo"].swap(acrInfos);
    report["EventInfo"].swap(eventInfos);
    SwapInText(port::StyledWriter().write(report), outJson);
    return true;
  } catch (...) {
    vomaxel::RethrowForHost();
  }
}

void Vomaxel::MakeEventMessage(MATCHING_ENGINE_TYPE engineType, int matchType, int eventType,
                               const std::string& acrInfoJson, const std::string& eventInfoJson,
                               std::string& outJson) {
  try {
    Json::Value message(Json::objectValue);
    message["Engine"] = Json::Value(static_cast<int>(engineType));
    message["MatchType"] = Json::Value(matchType);
    message["EventType"] = Json::Value(eventType);

    Json::Value acrInfo;
    if (!ReadMessagePart(acrInfoJson, acrInfo)) {
      VOMAXEL_LOG(3, "%s:%d Parsing error, acrInfoJson = %s", kEventMessageSignature, __LINE__,
                  acrInfoJson.c_str());
      return;
    }
    Json::Value eventInfo;
    if (!ReadMessagePart(eventInfoJson, eventInfo)) {
      VOMAXEL_LOG(3, "%s:%d Parsing error, eventInfoJson = %s", kEventMessageSignature, __LINE__,
                  eventInfoJson.c_str());
      return;
    }
    message["ACRInfo"].swap(acrInfo);
    message["EventInfo"].swap(eventInfo);
    SwapInText(port::StyledWriter().write(message), outJson);
  } catch (...) {
    vomaxel::RethrowForHost();
  }
}

void Vomaxel::MakeEventInfoList(std::vector<std::string>& eventInfoList, std::string& outJson) {
  try {
    Json::Value list;  // an empty vector is reported as null
    for (const std::string& entry : eventInfoList) {
      const char* text = entry.c_str();  // an entry ends at its first zero byte
      Json::Value element;
      if (!vomaxel::ParseJson(text, text + std::strlen(text), port::Features(), element) ||
          element.empty()) {
        VOMAXEL_LOG(3, "%s:%d Parsing error, eachEventInfo = %s", kEventInfoListSignature,
                    __LINE__, text);
        // A failed entry keeps the reader's partial array with a null
        // appended; whatever else it left, an object included, becomes [null].
        if (!element.isArray()) element = Json::Value(Json::arrayValue);
        element.append(Json::Value());
      }
      list.append(std::move(element));
    }
    SwapInText(port::StyledWriter().write(list), outJson);
  } catch (...) {
    vomaxel::RethrowForHost();
  }
}

std::string Vomaxel::MakeAuxiliaryInfo(std::string countryCode) {
  try {
    Json::Value info(Json::objectValue);
    info["countryCode"] = Json::Value(countryCode);
    return port::StyledWriter().write(info);
  } catch (...) {
    vomaxel::RethrowForHost();
  }
}

bool Vomaxel::MakeDeviceInfoJson(ACR_HDMI_DEVICE_INFO* pHdmiInfo, std::string& outJson) {
  if (pHdmiInfo == NULL) {
    VOMAXEL_LOG(3, "%s:%d pHdmiInfo is NULL", kDeviceInfoSignature, __LINE__);
    return false;
  }
  try {
    // The names end at their NUL, and never read past their arrays.
    const char* vendor = pHdmiInfo->szVendor;
    const char* product = pHdmiInfo->szProduct;
    Json::Value info(Json::objectValue);
    info["Vendor"] = Json::Value(std::string(vendor, strnlen(vendor, sizeof pHdmiInfo->szVendor)));
    info["Product"] =
        Json::Value(std::string(product, strnlen(product, sizeof pHdmiInfo->szProduct)));
    info["Source"] = Json::Value(pHdmiInfo->nSource);
    SwapInText(port::FastWriter().write(info), outJson);
    return true;
  } catch (...) {
    vomaxel::RethrowForHost();
  }
}
