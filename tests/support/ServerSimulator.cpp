#include "ServerSimulator.h"

#include <json/json.h>

#include <stdexcept>

#include "CipherOracle.h"

namespace server {
namespace {

// The keys, written out by hand from their hexadecimal texts below.
const Bytes kOldKey = {0x2b, 0x7e, 0x15, 0x16, 0x28, 0xae, 0xd2, 0xa6,
                       0xab, 0xf7, 0x15, 0x88, 0x09, 0xcf, 0x4f, 0x3c};
const Bytes kCurrentKey = {0x8e, 0x73, 0xb0, 0xf7, 0xda, 0x0e, 0x64, 0x52,
                           0xc8, 0x10, 0xf3, 0x2b, 0x80, 0x90, 0x79, 0xe5};
const Bytes kForeignKey = {0x60, 0x3d, 0xeb, 0x10, 0x15, 0xca, 0x71, 0xbe,
                           0x2b, 0x73, 0xae, 0xf0, 0x85, 0x7d, 0x77, 0x81};
const char kOldKeyHex[] = "2b7e151628aed2a6abf7158809cf4f3c";
const char kCurrentKeyHex[] = "8e73b0f7da0e6452c810f32b809079e5";

const Bytes& KeyBytes(Key key) {
  switch (key) {
    case Key::kOld: return kOldKey;
    case Key::kCurrent: return kCurrentKey;
    case Key::kForeign: return kForeignKey;
  }
  throw std::logic_error("unknown key");
}

// `entry` with its non-empty text members among `names` encrypted.
std::string EncryptMembers(const std::string& entry, Key key,
                           std::initializer_list<const char*> names) {
  Json::Value value;
  if (!Json::Reader().parse(entry, value) || !value.isObject()) {
    throw std::invalid_argument("not a JSON object: " + entry);
  }
  for (const char* name : names) {
    if (!value.isMember(name)) continue;
    Json::Value& member = value[name];
    if (member.isString() && !member.asString().empty()) {
      member = Encrypt(member.asString(), key);
    }
  }
  Json::FastWriter writer;
  writer.omitEndingLineFeed();
  return writer.write(value);
}

}  // namespace

std::string KeyText() { return std::string(kOldKeyHex) + "," + kCurrentKeyHex; }

std::string Encrypt(const std::string& plain, Key key) {
  return EncryptField(KeyBytes(key), plain);
}

std::string MatchAnswer(const std::vector<Match>& matches, const std::string& otherMembers) {
  std::string answer = "{\"matchResult\":[";
  for (size_t i = 0; i < matches.size(); ++i) {
    if (i > 0) answer += ",";
    answer += EncryptMembers(matches[i].plainEntry, matches[i].key,
                             {"contentId", "contentTitle", "streamId", "altContentId",
                              "altContentTitle", "altStreamId"});
  }
  answer += "]";
  if (!otherMembers.empty()) answer += "," + otherMembers;
  return answer + "}";
}

std::string EventInfo(const std::string& plainInfo, Key key) {
  return EncryptMembers(plainInfo, key, {"contentId", "contentTitle", "streamId", "callbackUrl"});
}

}  // namespace server
