// DecryptEachEventInfo: the input is event information (its text ends at the
// first NUL). The result is the empty text or a JSON object with the input's
// members, "streamTs" added where "streamId" is present, and every member
// other than the four encrypted ones and "streamTs" carried through.
#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  IVomaxel& plugin = fuzz::Plugin();
  const std::string info(reinterpret_cast<const char*>(data), size);

  const std::string result = plugin.DecryptEachEventInfo(info);

  Json::Value root;
  if (!fuzz::ParseStrict(info.c_str(), &root) || root.empty()) {
    FUZZ_CHECK(result.empty());
    return 0;
  }
  if (result.empty()) return 0;

  const Json::Value written = fuzz::ReadOutput(result, false);
  FUZZ_CHECK(root.isObject());
  // Apart from the decrypted members, the output is the input written as the
  // plug-in writes it (which also ends member names at a NUL). The decrypted
  // texts are left out on both sides rather than written twice: jsoncpp
  // 1.8.x's writer does not give its own output back.
  Json::Value expected = root;
  Json::Value actual = written;
  for (const char* name : {"contentId", "contentTitle", "streamId", "callbackUrl"}) {
    if (!root.isMember(name)) continue;
    FUZZ_CHECK(fuzz::RemoveWrittenAs(expected, name) || written[name].isString());
    actual.removeMember(name);
  }
  if (root.isMember("streamId")) expected["streamTs"] = root.get("streamTs", 0).asInt();
  FUZZ_CHECK(actual == fuzz::Written(expected));
  return 0;
}
