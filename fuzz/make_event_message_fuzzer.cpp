// MakeEventMessage: the input holds the ACR info text and the event info text,
// separated by a NUL. A text that is not empty and not a non-empty JSON object
// or array leaves the output as it was; otherwise the message holds the three
// integers and both texts' values.
#include "FuzzSupport.h"

namespace {

const char kPreviousOutput[] = "previous output";

// Whether `text` may stand in the message, and its value there.
bool Usable(const std::string& text, Json::Value* value) {
  if (text.empty()) return true;
  return fuzz::ParseStrict(text, value) && !value->empty();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  IVomaxel& plugin = fuzz::Plugin();
  const std::vector<std::string> texts = fuzz::Split(data, size);
  const std::string acrInfo = texts.size() > 0 ? texts[0] : std::string();
  const std::string eventInfo = texts.size() > 1 ? texts[1] : std::string();
  const MATCHING_ENGINE_TYPE engine = static_cast<MATCHING_ENGINE_TYPE>(static_cast<int>(size % 4) - 1);
  const int matchType = static_cast<int>(size);
  const int eventType = -static_cast<int>(size);

  std::string output = kPreviousOutput;
  plugin.MakeEventMessage(engine, matchType, eventType, acrInfo, eventInfo, output);

  Json::Value acrValue;
  Json::Value eventValue;
  if (!Usable(acrInfo, &acrValue) || !Usable(eventInfo, &eventValue)) {
    FUZZ_CHECK(output == kPreviousOutput);
    return 0;
  }
  if (!fuzz::Readable(output)) return 0;
  const Json::Value message = fuzz::ReadOutput(output, false);
  FUZZ_CHECK(fuzz::HasMembers(message, {"Engine", "MatchType", "EventType", "ACRInfo", "EventInfo"}));
  FUZZ_CHECK(message["Engine"].isInt() && message["Engine"].asInt() == engine);
  FUZZ_CHECK(message["MatchType"].isInt() && message["MatchType"].asInt() == matchType);
  FUZZ_CHECK(message["EventType"].isInt() && message["EventType"].asInt() == eventType);
  FUZZ_CHECK(message["ACRInfo"] == fuzz::Written(acrValue));
  FUZZ_CHECK(message["EventInfo"] == fuzz::Written(eventValue));
  return 0;
}
