// Server result decoding: the encrypted fields of the recognition server's
// match results and event information become plain text, and every match of
// an answer is appended to the host's ACR_MATCH_INFO record.
#include <algorithm>
#include <cstring>
#include <string>
#include <type_traits>
#include <utility>

#include "JsonCpp.h"

#include "ACRCipherUtil.h"
#include "JsonText.h"
#include "KeyPair.h"
#include "Vomaxel.h"
#include "VomaxelLog.h"

namespace {

// Fixed log texts (VomaxelLog.h): the signatures of this file's lines.
const char kDoDecryptionSignature[] = "std::string Vomaxel::m_DoDecryption(const string&)";
const char kDecryptMatchInfoSignature[] =
    "virtual void Vomaxel::DecryptMatchInfo(const string&, ACR_MATCH_INFO&, std::string&)";
const char kMultiMatchSignature[] =
    "Json::Value Vomaxel::m_DecryptMultiMatchResult(const Json::Value&, ACR_MATCH_INFO&)";
const char kEventInfoSignature[] = "virtual std::string Vomaxel::DecryptEachEventInfo(const string&)";

// An encrypted field must be shorter than this. It is also the size of both
// work buffers, which the bound keeps large enough: at most 1533 ciphertext
// bytes, and the cipher's output needs a block more than its input.
const unsigned int MAX_ID_STRING_SIZE = 2048;

// The members of a match entry that are decrypted or mapped onto the record;
// the encrypted ones first, in the order they are decrypted.
enum EntryMember {
  kContentId,
  kContentTitle,
  kStreamId,
  kAltContentId,
  kAltContentTitle,
  kAltStreamId,
  kEncryptedMembers,
  kSource = kEncryptedMembers,
  kIdType,
  kContentOffset,
  kGenre,
  kAltIdType,
  kBypassData,
  kEntryMembers
};

struct MemberName {
  const char* text;
  std::size_t length;
};

template <std::size_t N>
constexpr MemberName Name(const char (&text)[N]) {
  return MemberName{text, N - 1};
}

const MemberName kEntryMemberNames[kEntryMembers] = {
    Name("contentId"),    Name("contentTitle"),    Name("streamId"),
    Name("altContentId"), Name("altContentTitle"), Name("altStreamId"),
    Name("source"),       Name("idType"),          Name("contentOffset"),
    Name("genre"),        Name("altIdType"),       Name("bypassData")};

// The record's text members, in record order.
std::string ACR_MATCH_INFO::* const kTextMembers[] = {
    &ACR_MATCH_INFO::szChannelId,    &ACR_MATCH_INFO::szChannelName,
    &ACR_MATCH_INFO::szProgramId,    &ACR_MATCH_INFO::szProgramName,
    &ACR_MATCH_INFO::szStartTime,    &ACR_MATCH_INFO::szMediaTime,
    &ACR_MATCH_INFO::szIdType,       &ACR_MATCH_INFO::szSource,
    &ACR_MATCH_INFO::szGenre,        &ACR_MATCH_INFO::szAltIdType,
    &ACR_MATCH_INFO::szAltContentId, &ACR_MATCH_INFO::szAltContentTitle,
    &ACR_MATCH_INFO::szAltStreamId,  &ACR_MATCH_INFO::szBypassData,
};

// vomaxel::FindMember for a member to be replaced: jsoncpp looks members up
// only through const access, and `object` is the caller's to change.
Json::Value* FindMember(Json::Value& object, const char* key) {
  return const_cast<Json::Value*>(vomaxel::FindMember(object, key));
}

// The text of a member as asString() gives it, or a fallback where the member
// is absent (null). A string member's text is read where it stands rather
// than copied.
class MemberText {
 public:
  MemberText(const Json::Value* member, const char* fallbackBegin, const char* fallbackEnd)
      : begin_(fallbackBegin), end_(fallbackEnd) {
    if (member != NULL && !member->getString(&begin_, &end_)) {
      converted_ = member->asString();
      begin_ = converted_.data();
      end_ = begin_ + converted_.size();
    }
  }
  MemberText(const Json::Value* member, const std::string& fallback)
      : MemberText(member, fallback.data(), fallback.data() + fallback.size()) {}

  const char* begin() const { return begin_; }
  const char* end() const { return end_; }
  std::string::size_type size() const { return static_cast<std::string::size_type>(end_ - begin_); }

 private:
  MemberText(const MemberText&);
  MemberText& operator=(const MemberText&);

  std::string converted_;
  const char* begin_;
  const char* end_;
};

// Appends the text of `member` as asString() gives it, or `fallback` where it
// is absent, to `out`.
void AppendMemberText(const Json::Value* member, const std::string& fallback, std::string& out) {
  const MemberText text(member, fallback);
  out.append(text.begin(), text.end());
}

// Appends `text` split at its first "." to `head` and `tail`. False, with
// nothing appended, where there is no dot or the text begins with it.
bool AppendSplit(const MemberText& text, std::string& head, std::string& tail) {
  const char* dot = std::find(text.begin(), text.end(), '.');
  if (dot == text.end() || dot == text.begin()) return false;
  head.append(text.begin(), dot);
  tail.append(dot + 1, text.end());
  return true;
}

// The answer's root becomes the output once only its members "matchResult",
// "queryTs" and "matchCounts" are left; the last two are null where absent.
// The three move to an object of their own that takes the root's place:
// removeMember hands the removed value out through a pointer that jsoncpp
// before 1.9 writes without checking, and its overloads that take no pointer
// end a name at its first zero byte.
void KeepOutputMembers(Json::Value& root) {
  static const char* const kOutputMembers[] = {"matchResult", "queryTs", "matchCounts"};
  root["queryTs"];
  root["matchCounts"];
  if (root.size() == 3) return;
  Json::Value output(Json::objectValue);
  for (const char* name : kOutputMembers) output[name].swap(root[name]);
  root.swap(output);
}

// A record takes its new values by a move, which cannot fail: its members are
// strings and integers. Where the library declares a string's move assignment
// noexcept, the record's must be too. The copy-on-write string of libstdc++
// before GCC 5 declares it without noexcept, but it only swaps the two
// strings' pointers to their shared buffers, which cannot throw.
static_assert(std::is_nothrow_move_assignable<ACR_MATCH_INFO>::value ||
                  !std::is_nothrow_move_assignable<std::string>::value,
              "ACR_MATCH_INFO must move without throwing");

// The record's values for an answer without a usable match.
void WriteFailureValues(ACR_MATCH_INFO& matchInfo) {
  for (std::string ACR_MATCH_INFO::*member : kTextMembers) {
    matchInfo.*member = ACR_STRING_UNKNOWN;
  }
  matchInfo.szStartTime = ACR_STRING_ZERO;
  matchInfo.szMediaTime = ACR_STRING_ZERO;
}

}  // namespace

// Each of a match entry's members above, NULL where it has none. An object's
// members are found in one walk over them, which costs less than a lookup
// each. An entry that is not an object is looked up as before: a null entry
// has no members, any other throws Json::LogicError.
struct Vomaxel::EntryMembers {
  explicit EntryMembers(Json::Value& entry) {
    if (!entry.isObject()) {
      for (int i = 0; i < kEntryMembers; ++i) {
        member[i] = FindMember(entry, kEntryMemberNames[i].text);
      }
      return;
    }
    std::fill(member, member + kEntryMembers, static_cast<Json::Value*>(NULL));
    for (Json::Value::iterator it = entry.begin(); it != entry.end(); ++it) {
      const char* end = NULL;
      const char* name = it.memberName(&end);
      const std::size_t length = static_cast<std::size_t>(end - name);
      for (int i = 0; i < kEntryMembers; ++i) {
        if (kEntryMemberNames[i].length == length &&
            std::memcmp(kEntryMemberNames[i].text, name, length) == 0) {
          member[i] = &*it;
          break;
        }
      }
    }
  }

  Json::Value* member[kEntryMembers];
};

std::string Vomaxel::m_DoDecryption(const std::string& inEncryptedString, KeyPair& keys) {
  return m_DoDecryption(inEncryptedString.data(), inEncryptedString.size(), keys);
}

std::string Vomaxel::m_DoDecryption(const char* inEncryptedString,
                                    std::string::size_type uEncrypedSize, KeyPair& keys) {
  if (uEncrypedSize == 0) {
    VOMAXEL_LOG(3, "%s:%d inEncryptedString is empty", kDoDecryptionSignature, __LINE__);
    return std::string(ACR_STRING_EMPTY);
  }
  if (uEncrypedSize >= MAX_ID_STRING_SIZE) {
    VOMAXEL_LOG(3, "%s:%d uEncrypedSize(%d) >= MAX_ID_STRING_SIZE", kDoDecryptionSignature,
                __LINE__, static_cast<int>(uEncrypedSize));
    return std::string(inEncryptedString, uEncrypedSize);
  }

  // Zeroed first where the decoder writes: a "=" inside the text suppresses
  // the write of its byte. Decryption reads no further than that.
  unsigned char decoded[MAX_ID_STRING_SIZE];
  std::memset(decoded, 0, uEncrypedSize / 4 * 3);
  unsigned int decodedSize = 0;
  unsigned char* encrypted =
      reinterpret_cast<unsigned char*>(const_cast<char*>(inEncryptedString));
  if (b64_decode(encrypted, uEncrypedSize, decoded, &decodedSize) == 0) {
    VOMAXEL_LOG(3, "%s:%d Failed to decode with Base64 incoding", kDoDecryptionSignature,
                __LINE__);
    return std::string(inEncryptedString, uEncrypedSize);
  }

  // Only the bytes decryption writes are read, up to the zero written after them.
  unsigned char plain[MAX_ID_STRING_SIZE];
  const int decodedTextSize = keys.DecryptText(plain, decoded, decodedSize);
  if (decodedTextSize == 0) {
    VOMAXEL_LOG(3, "%s:%d decodedTextSize == 0", kDoDecryptionSignature, __LINE__);
    return std::string(inEncryptedString, uEncrypedSize);
  }
  // The plain text ends at its first zero byte.
  plain[decodedTextSize] = 0;
  return std::string(reinterpret_cast<const char*>(plain));
}

void Vomaxel::DecryptMatchInfo(const std::string& inAcrInfo, ACR_MATCH_INFO& matchInfo,
                               std::string& outAcrInfo) {
  try {
    // The answer ends at its first zero byte.
    const char* text = inAcrInfo.c_str();
    Json::Value root;
    // A non-empty array passes the parse, but only an object has members.
    if (!vomaxel::ParseJson(text, text + std::strlen(text), port::Features::Strict(), root) ||
        root.empty() || !root.isObject()) {
      VOMAXEL_LOG(3, "%s:%d Parsing error, inAcrInfo = %s", kDecryptMatchInfoSignature, __LINE__,
                  text);
      return;
    }
    // The record changes in a copy that takes its place only once everything
    // that may fail is done: an allocation failure leaves the caller's record
    // as it was.
    ACR_MATCH_INFO record(matchInfo);
    Json::Value& matchResult = root["matchResult"];
    if (matchResult.empty()) {
      VOMAXEL_LOG(3, "%s:%d matchResult is empty", kDecryptMatchInfoSignature, __LINE__);
      WriteFailureValues(record);
      matchInfo = std::move(record);
      return;
    }
    // Every field of the answer is decrypted with one copy of the keys.
    KeyPair keys(*CACRCipherUtil::GetInstance());
    if (!m_DecryptMultiMatchResult(matchResult, record, keys)) {
      VOMAXEL_LOG(3, "%s:%d Failed to decrypt matchInfo", kDecryptMatchInfoSignature, __LINE__);
      WriteFailureValues(record);
      matchInfo = std::move(record);
      return;
    }
    KeepOutputMembers(root);
    std::string output = port::StyledWriter().write(root);
    matchInfo = std::move(record);
    outAcrInfo.swap(output);
  } catch (...) {
    vomaxel::RethrowForHost();
  }
}

bool Vomaxel::m_DecryptMultiMatchResult(Json::Value& matchResult, ACR_MATCH_INFO& matchInfo,
                                        KeyPair& keys) {
  // Only an array has entries: an object's members cannot be read by index.
  matchInfo.nMatchCount = matchResult.isArray() ? matchResult.size() : 0;
  try {
    for (Json::ArrayIndex i = 0; i < matchInfo.nMatchCount; ++i) {
      if (!matchResult.isValidIndex(i)) {
        VOMAXEL_LOG(3, "%s:%d Invaild Json array index", kMultiMatchSignature, __LINE__);
        return false;
      }
      if (!matchInfo.szProgramId.empty()) {
        for (std::string ACR_MATCH_INFO::*member : kTextMembers) {
          (matchInfo.*member).append(ACR_STRING_MULTI_DELIMITER);
        }
      }
      Json::Value& entry = matchResult[i];
      EntryMembers members(entry);
      m_DecryptEachMatchInfo(entry, members, keys);
      m_MakeACRInfoToKnown(members, matchInfo);
    }
  } catch (const Json::LogicError&) {
    // A member that jsoncpp will not convert, or an entry that is not an
    // object, fails the whole answer.
    return false;
  }
  return matchInfo.nMatchCount != 0;
}

void Vomaxel::m_DecryptEachMatchInfo(Json::Value& matchEntry, EntryMembers& members,
                                     KeyPair& keys) {
  // Each member is read before it is replaced and nothing else is read, so
  // the entry is decrypted in place.
  const std::string absent(ACR_STRING_EMPTY);
  for (int i = 0; i < kEncryptedMembers; ++i) {
    Json::Value*& member = members.member[i];
    const MemberText encrypted(member, absent);
    if (encrypted.size() == 0) continue;
    const std::string plain = m_DoDecryption(encrypted.begin(), encrypted.size(), keys);
    if (member == NULL) member = &matchEntry[kEntryMemberNames[i].text];
    *member = plain;
  }
}

void Vomaxel::m_MakeACRInfoToKnown(const EntryMembers& members, ACR_MATCH_INFO& matchInfo) {
  const std::string absent(ACR_STRING_EMPTY);
  Json::Value* const* member = members.member;

  const MemberText contentId(member[kContentId], absent);
  if (!AppendSplit(contentId, matchInfo.szProgramId, matchInfo.szStartTime)) {
    matchInfo.szProgramId.append(contentId.begin(), contentId.end());
    matchInfo.szStartTime.append("0");
  }

  // Without a stream, the source names the channel.
  const MemberText source(member[kSource], absent);
  const MemberText streamId(member[kStreamId], source.begin(), source.end());
  if (!AppendSplit(streamId, matchInfo.szChannelId, matchInfo.szChannelName)) {
    matchInfo.szChannelId.append(streamId.begin(), streamId.end());
    matchInfo.szChannelName.append(streamId.begin(), streamId.end());
  }

  AppendMemberText(member[kIdType], absent, matchInfo.szIdType);
  AppendMemberText(member[kContentTitle], absent, matchInfo.szProgramName);
  matchInfo.szSource.append(source.begin(), source.end());

  // The offset is written without a sign: -1 becomes 4294967295. Written by
  // printf's "%u", it has no digit grouping, whatever the host's locales.
  const Json::Value* contentOffset = member[kContentOffset];
  const int offset = contentOffset != NULL ? contentOffset->asInt() : 0;
  matchInfo.szMediaTime.append(std::to_string(static_cast<unsigned int>(offset)));

  AppendMemberText(member[kGenre], absent, matchInfo.szGenre);
  AppendMemberText(member[kAltIdType], absent, matchInfo.szAltIdType);
  AppendMemberText(member[kAltContentId], absent, matchInfo.szAltContentId);
  AppendMemberText(member[kAltContentTitle], absent, matchInfo.szAltContentTitle);
  AppendMemberText(member[kAltStreamId], absent, matchInfo.szAltStreamId);
  AppendMemberText(member[kBypassData], absent, matchInfo.szBypassData);
}

std::string Vomaxel::DecryptEachEventInfo(const std::string& inEventInfo) {
  const char* text = inEventInfo.c_str();
  try {
    Json::Value root;
    if (vomaxel::ParseJson(text, text + std::strlen(text), port::Features::Strict(), root) &&
        !root.empty() && root.isObject()) {
      // The output is the input with some members replaced. Each replacement
      // reads only its own member, so the root is changed in place. Every
      // member is decrypted with one copy of the keys.
      KeyPair keys(*CACRCipherUtil::GetInstance());
      auto decryptMember = [this, &root, &keys](const char* name) -> bool {
        Json::Value* member = FindMember(root, name);
        if (member == NULL) return false;
        *member = m_DoDecryption(member->asString(), keys);
        return true;
      };
      decryptMember("contentId");
      decryptMember("contentTitle");
      if (decryptMember("streamId")) {
        root["streamTs"] = root.get("streamTs", 0).asInt();
      }
      decryptMember("callbackUrl");
      return port::StyledWriter().write(root);
    }
  } catch (const Json::LogicError&) {
    // A member that jsoncpp will not convert makes the text unusable.
  } catch (...) {
    vomaxel::RethrowForHost();
  }
  VOMAXEL_LOG(3, "%s:%d Parsing error, inEventInfo = %s", kEventInfoSignature, __LINE__, text);
  return std::string();
}
