// DecryptMatchInfo: the input is a server answer (its text ends at the first
// NUL). A text that does not parse leaves the record and the output as they
// were; the host's integers other than the count are never touched; a written
// output holds exactly "matchResult", "queryTs" and "matchCounts", one
// decrypted entry per element with every other member carried through.
#include "FuzzSupport.h"

namespace {

const char* const kEncryptedMembers[] = {"contentId",    "contentTitle",    "streamId",
                                         "altContentId", "altContentTitle", "altStreamId"};

const char kPreviousOutput[] = "previous output";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  IVomaxel& plugin = fuzz::Plugin();
  const std::string answer(reinterpret_cast<const char*>(data), size);

  ACR_MATCH_INFO record = fuzz::FilledRecord();
  std::string output = kPreviousOutput;
  plugin.DecryptMatchInfo(answer, record, output);

  const ACR_MATCH_INFO before = fuzz::FilledRecord();
  FUZZ_CHECK(record.nEngineType == before.nEngineType);
  FUZZ_CHECK(record.nEventType == before.nEventType);
  FUZZ_CHECK(record.bIsEngineStopped == before.bIsEngineStopped);

  Json::Value root;
  if (!fuzz::ParseStrict(answer.c_str(), &root) || root.empty()) {
    FUZZ_CHECK(fuzz::SameRecord(record, before));
    FUZZ_CHECK(output == kPreviousOutput);
    return 0;
  }
  if (output == kPreviousOutput) return 0;

  const Json::Value written = fuzz::ReadOutput(output, false);
  FUZZ_CHECK(fuzz::HasMembers(written, {"matchResult", "queryTs", "matchCounts"}));
  FUZZ_CHECK(written["queryTs"] == fuzz::Written(root["queryTs"]));
  FUZZ_CHECK(written["matchCounts"] == fuzz::Written(root["matchCounts"]));
  const Json::Value& entries = root["matchResult"];
  const Json::Value& decrypted = written["matchResult"];
  FUZZ_CHECK(entries.isArray() && decrypted.isArray());
  FUZZ_CHECK(decrypted.size() == entries.size() && record.nMatchCount == entries.size());
  for (Json::ArrayIndex i = 0; i < entries.size(); ++i) {
    // The entry written as the plug-in writes it (which also ends member
    // names at a NUL), its decrypted members left out on both sides as in
    // the event info target: with every member written under the same name.
    Json::Value expected = entries[i];
    Json::Value actual = decrypted[i];
    for (const char* name : kEncryptedMembers) {
      if (expected.get(name, "").asString().empty()) continue;
      FUZZ_CHECK(fuzz::RemoveWrittenAs(expected, name) || actual[name].isString());
      actual.removeMember(name);
    }
    FUZZ_CHECK(actual == fuzz::Written(expected));
  }
  return 0;
}
