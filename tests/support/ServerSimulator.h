// A stand-in for the recognition server: it encrypts what the server sends
// encrypted, with the cipher oracle (OpenSSL directly), so that tests state
// their answers in plain text ("two matches, the second under the old key").

#ifndef VOMAXEL_TESTS_SUPPORT_SERVERSIMULATOR_H_
#define VOMAXEL_TESTS_SUPPORT_SERVERSIMULATOR_H_

#include <string>
#include <vector>

namespace server {

// The keys a field can be encrypted under: the two that KeyText hands to the
// plug-in, and one that it never learns.
enum class Key { kOld, kCurrent, kForeign };

// "OLD,CURRENT" in hexadecimal, for IVomaxel::SetSecureKey.
std::string KeyText();

// Base64 of the AES-128-CBC ciphertext of `plain` (zero IV, PKCS#7 padding).
std::string Encrypt(const std::string& plain, Key key);

// Whether the key `wrong` finds valid padding in `plain` encrypted under
// `key`, as a wrong key does by chance about once in 256; what it makes of it
// in `noise`.
bool WrongKeyText(const std::string& plain, Key key, Key wrong, std::string* noise);

// One match entry: a JSON object in plain text and the key that encrypts it.
struct Match {
  Key key;
  std::string plainEntry;
};

// A server answer {"matchResult":[...], otherMembers}. In each entry, the
// members "contentId", "contentTitle", "streamId", "altContentId",
// "altContentTitle" and "altStreamId" are encrypted where they are non-empty
// text; everything else is sent as given. `otherMembers` is JSON member text
// such as "\"queryTs\":5", or empty.
std::string MatchAnswer(const std::vector<Match>& matches, const std::string& otherMembers = "");

// Event information: `plainInfo`, a JSON object, with its members
// "contentId", "contentTitle", "streamId" and "callbackUrl" encrypted where
// they are non-empty text.
std::string EventInfo(const std::string& plainInfo, Key key = Key::kCurrent);

}  // namespace server

#endif  // VOMAXEL_TESTS_SUPPORT_SERVERSIMULATOR_H_
