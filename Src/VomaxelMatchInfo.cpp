// Match info JSON: the flat JSON form of one ACR_MATCH_INFO record, read by
// ParserACRInfoJson and written by MakeACRInfoJson.
#include <cstring>
#include <utility>

#include "JsonCpp.h"

#include "JsonText.h"
#include "Vomaxel.h"
#include "VomaxelLog.h"

namespace {

// Fixed log texts (VomaxelLog.h): the signature of this file's line.
const char kParserSignature[] = "virtual bool Vomaxel::ParserACRInfoJson(const char*, ACR_MATCH_INFO&)";

struct TextField {
  const char* key;
  std::string ACR_MATCH_INFO::*member;
};

// The text members in the order the reader handles them (names before ids).
const TextField kTextFields[] = {
    {"channelName", &ACR_MATCH_INFO::szChannelName},
    {"channelId", &ACR_MATCH_INFO::szChannelId},
    {"programName", &ACR_MATCH_INFO::szProgramName},
    {"programId", &ACR_MATCH_INFO::szProgramId},
    {"startTime", &ACR_MATCH_INFO::szStartTime},
    {"mediaTime", &ACR_MATCH_INFO::szMediaTime},
    {"idType", &ACR_MATCH_INFO::szIdType},
    {"source", &ACR_MATCH_INFO::szSource},
    {"genre", &ACR_MATCH_INFO::szGenre},
    {"altIdType", &ACR_MATCH_INFO::szAltIdType},
    {"altContentId", &ACR_MATCH_INFO::szAltContentId},
    {"altContentTitle", &ACR_MATCH_INFO::szAltContentTitle},
    {"altStreamId", &ACR_MATCH_INFO::szAltStreamId},
    {"bypassData", &ACR_MATCH_INFO::szBypassData},
};

// Reads all eighteen members of match info JSON into `out`. False where the
// text is rejected: it does not parse strictly, its root is empty or not an
// object, or a member has a value the JSON library refuses to convert.
bool ReadMatchInfo(const char* text, ACR_MATCH_INFO& out) {
  try {
    Json::Value root;
    if (!vomaxel::ParseJson(text, text + std::strlen(text), port::Features::Strict(), root) ||
        root.empty() || !root.isObject()) {
      return false;
    }
    const Json::Value unknown(ACR_STRING_UNKNOWN);
    for (const TextField& field : kTextFields) {
      out.*field.member = vomaxel::MemberOr(root, field.key, unknown).asString();
    }
    const Json::Value zero(0);
    out.nMatchCount = vomaxel::MemberOr(root, "matchCount", zero).asInt();
    out.nEngineType = vomaxel::MemberOr(root, "engineType", zero).asInt();
    out.nEventType = vomaxel::MemberOr(root, "eventType", zero).asInt();
    out.bIsEngineStopped = vomaxel::MemberOr(root, "isEngineStopped", zero).asInt();
    return true;
  } catch (const Json::LogicError&) {
    return false;
  }
}

}  // namespace

bool Vomaxel::ParserACRInfoJson(const char* pInJsonString, ACR_MATCH_INFO& matchInfo) {
  const char* text = pInJsonString != NULL ? pInJsonString : "";
  ACR_MATCH_INFO parsed;
  try {
    if (!ReadMatchInfo(text, parsed)) {
      VOMAXEL_LOG(3, "%s:%d Parsing error! pInJsonString = %s", kParserSignature,
                  VOMAXEL_FIXED_LINE(101), text);
      return false;
    }
  } catch (...) {
    vomaxel::RethrowForHost();
  }
  // All eighteen members take their place at once, so that a rejection, or
  // an allocation failure, leaves the record whole.
  matchInfo = std::move(parsed);
  return true;
}

std::string Vomaxel::MakeACRInfoJson(MATCHING_ENGINE_TYPE engineType,
                                     const ACR_MATCH_INFO& matchInfo) {
  try {
    Json::Value root;
    for (const TextField& field : kTextFields) {
      root[field.key] = Json::Value(matchInfo.*field.member);
    }
    root["matchCount"] = Json::Value(matchInfo.nMatchCount);
    root["engineType"] = Json::Value(static_cast<int>(engineType));
    root["eventType"] = Json::Value(matchInfo.nEventType);
    root["isEngineStopped"] = Json::Value(matchInfo.bIsEngineStopped);
    return port::StyledWriter().write(root);
  } catch (...) {
    vomaxel::RethrowForHost();
  }
}
