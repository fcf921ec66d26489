#include "WireForm.h"

#include "JsonCpp.h"

#include "HostError.h"
#include "JsonInput.h"

namespace {

const char* const kMatchEntryFields[] = {"contentId",    "contentTitle",    "streamId",
                                         "altContentId", "altContentTitle", "altStreamId"};
const char* const kEventInfoFields[] = {"contentId", "contentTitle", "streamId", "callbackUrl"};

template <size_t N>
void EncryptMembers(Plugin& plugin, const char* const (&names)[N], Json::Value& object) {
  if (!object.isObject()) return;
  for (const char* name : names) {
    if (!object.isMember(name)) continue;
    Json::Value& member = object[name];
    if (member.isString() && !member.asString().empty())
      member = plugin.EncryptField(member.asString());
  }
}

}  // namespace

std::string ToWireForm(Plugin& plugin, const std::string& plainText) {
  Json::Value root = ParseJsonInput(plainText, "the plain text");
  if (!root.isObject()) throw HostError("the plain text is not a JSON object");
  if (root.isMember("matchResult")) {
    Json::Value& entries = root["matchResult"];
    if (entries.isArray()) {
      for (Json::Value& entry : entries) EncryptMembers(plugin, kMatchEntryFields, entry);
    }
  } else {
    EncryptMembers(plugin, kEventInfoFields, root);
  }
  return port::StyledWriter().write(root);
}
