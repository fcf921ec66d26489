// ParserACRInfoJson: the input is the NUL-terminated match info text. A
// rejected text leaves the record whole; an accepted one fills all eighteen
// members from the object, and the record then writes as match info JSON.
#include "FuzzSupport.h"

namespace {

struct TextKey {
  const char* key;
  std::string ACR_MATCH_INFO::*member;
};

const TextKey kTextKeys[] = {
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

unsigned int IntegerMember(const Json::Value& root, const char* key) {
  return static_cast<unsigned int>(root.get(key, 0).asInt());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  IVomaxel& plugin = fuzz::Plugin();
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::string text = input.c_str();

  ACR_MATCH_INFO record = fuzz::FilledRecord();
  const bool accepted = plugin.ParserACRInfoJson(input.c_str(), record);

  Json::Value root;
  const bool usable = fuzz::ParseStrict(text, &root) && !root.empty();
  if (!accepted) {
    FUZZ_CHECK(fuzz::SameRecord(record, fuzz::FilledRecord()));
    return 0;
  }
  FUZZ_CHECK(usable && root.isObject());
  for (const TextKey& text_key : kTextKeys) {
    const std::string expected =
        root.isMember(text_key.key) ? root[text_key.key].asString() : std::string(ACR_STRING_UNKNOWN);
    FUZZ_CHECK(record.*text_key.member == expected);
  }
  FUZZ_CHECK(record.nMatchCount == IntegerMember(root, "matchCount"));
  FUZZ_CHECK(static_cast<unsigned int>(record.nEngineType) == IntegerMember(root, "engineType"));
  FUZZ_CHECK(record.nEventType == IntegerMember(root, "eventType"));
  FUZZ_CHECK(record.bIsEngineStopped == IntegerMember(root, "isEngineStopped"));

  const Json::Value written =
      fuzz::ReadOutput(plugin.MakeACRInfoJson(MATCHING_ENGINE_TYPE_AUDIO, record), false);
  FUZZ_CHECK(fuzz::HasMembers(
      written, {"channelName", "channelId", "programName", "programId", "startTime", "mediaTime",
                "idType", "source", "genre", "altIdType", "altContentId", "altContentTitle",
                "altStreamId", "bypassData", "matchCount", "engineType", "eventType",
                "isEngineStopped"}));
  FUZZ_CHECK(written["engineType"].asInt() == MATCHING_ENGINE_TYPE_AUDIO);
  FUZZ_CHECK(written["matchCount"].asUInt() == record.nMatchCount);
  return 0;
}
