#include "ServerSimulator.h"

#include <stdexcept>

#include "CipherOracle.h"
#include "JsoncppBehaviour.h"

namespace server {
namespace {

// Indexed by Key, written out by hand from the hexadecimal texts below.
const char* const kKeys[] = {
    "\x2b\x7e\x15\x16\x28\xae\xd2\xa6\xab\xf7\x15\x88\x09\xcf\x4f\x3c",
    "\x8e\x73\xb0\xf7\xda\x0e\x64\x52\xc8\x10\xf3\x2b\x80\x90\x79\xe5",
    "\x60\x3d\xeb\x10\x15\xca\x71\xbe\x2b\x73\xae\xf0\x85\x7d\x77\x81",
};
const char kOldKeyHex[] = "2b7e151628aed2a6abf7158809cf4f3c";
const char kCurrentKeyHex[] = "8e73b0f7da0e6452c810f32b809079e5";

// `object` with its non-empty text members among `names` encrypted.
std::string EncryptMembers(const std::string& object, Key key,
                           std::initializer_list<const char*> names) {
  Json::Value value;
  if (!jsoncpp::Parse(object, value) || !value.isObject()) {
    throw std::invalid_argument("not a JSON object: " + object);
  }
  for (const char* name : names) {
    if (!value.isMember(name)) continue;
    Json::Value& member = value[name];
    if (member.isString() && !member.asString().empty()) member = Encrypt(member.asString(), key);
  }
  port::FastWriter writer;
  writer.omitEndingLineFeed();
  return writer.write(value);
}

}  // namespace

std::string KeyText() { return std::string(kOldKeyHex) + "," + kCurrentKeyHex; }

std::string Encrypt(const std::string& plain, Key key) {
  const char* bytes = kKeys[static_cast<int>(key)];
  return EncryptField(Bytes(bytes, bytes + 16), plain);
}

bool WrongKeyText(const std::string& plain, Key key, Key wrong, std::string* noise) {
  const char* keyBytes = kKeys[static_cast<int>(key)];
  const char* wrongBytes = kKeys[static_cast<int>(wrong)];
  bool ok = false;
  *noise = OracleDecrypt(Bytes(wrongBytes, wrongBytes + 16),
                         OracleEncrypt(Bytes(keyBytes, keyBytes + 16), plain), &ok);
  return ok;
}

std::string MatchAnswer(const std::vector<Match>& matches, const std::string& otherMembers) {
  std::string answer = "{\"matchResult\":[";
  for (const Match& match : matches) {
    if (&match != &matches.front()) answer += ",";
    answer += EncryptMembers(match.plainEntry, match.key,
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
