// Server result decoding: the encrypted fields of the recognition server's
// match results and event information become plain text, and every match of
// an answer is appended to the host's ACR_MATCH_INFO record.
#include <cstring>
#include <exception>
#include <utility>

#include <boost/lexical_cast.hpp>
#include <json/json.h>

#include "ACRCipherUtil.h"
#include "JsonText.h"
#include "Vomaxel.h"
#include "VomaxelLog.h"

namespace {

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

// The encrypted members of a match entry, in the order they are decrypted.
const char* const kEncryptedMatchMembers[] = {"contentId",    "contentTitle",    "streamId",
                                              "altContentId", "altContentTitle", "altStreamId"};

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

// get(key, Json::Value(fallback)).asString(), without the copy of the member.
std::string MemberText(const Json::Value& object, const char* key, const std::string& fallback) {
  const Json::Value* member = vomaxel::FindMember(object, key);
  return member != NULL ? member->asString() : fallback;
}

// Appends get(key, Json::Value(fallback)).asString() to `out`; a string
// member's text is appended in place, without a copy of its own.
void AppendMemberText(const Json::Value& object, const char* key, const std::string& fallback,
                      std::string& out) {
  const Json::Value* member = vomaxel::FindMember(object, key);
  const char* begin;
  const char* end;
  if (member == NULL) {
    out.append(fallback);
  } else if (member->getString(&begin, &end)) {
    out.append(begin, end);
  } else {
    out.append(member->asString());
  }
}

// Appends `text` split at its first "." to `head` and `tail`. False, with
// nothing appended, where there is no dot or the text begins with it.
bool AppendSplit(const std::string& text, std::string& head, std::string& tail) {
  const std::string::size_type dot = text.find('.');
  if (dot == std::string::npos || dot == 0) return false;
  head.append(text, 0, dot);
  tail.append(text, dot + 1, std::string::npos);
  return true;
}

// The record's values for an answer without a usable match.
void WriteFailureValues(ACR_MATCH_INFO& matchInfo) {
  for (std::string ACR_MATCH_INFO::*member : kTextMembers) {
    matchInfo.*member = ACR_STRING_UNKNOWN;
  }
  matchInfo.szStartTime = ACR_STRING_ZERO;
  matchInfo.szMediaTime = ACR_STRING_ZERO;
}

}  // namespace

std::string Vomaxel::m_DoDecryption(const std::string& inEncryptedString) {
  const std::string::size_type uEncrypedSize = inEncryptedString.size();
  if (uEncrypedSize == 0) {
    VOMAXEL_LOG(3, "%s:%d inEncryptedString is empty", kDoDecryptionSignature, __LINE__);
    return std::string(ACR_STRING_EMPTY);
  }
  if (uEncrypedSize >= MAX_ID_STRING_SIZE) {
    VOMAXEL_LOG(3, "%s:%d uEncrypedSize(%d) >= MAX_ID_STRING_SIZE", kDoDecryptionSignature,
                __LINE__, static_cast<int>(uEncrypedSize));
    return inEncryptedString;
  }

  // Zeroed first where the decoder writes: a "=" inside the text suppresses
  // the write of its byte. Decryption reads no further than that.
  unsigned char decoded[MAX_ID_STRING_SIZE];
  std::memset(decoded, 0, uEncrypedSize / 4 * 3);
  unsigned int decodedSize = 0;
  unsigned char* encrypted =
      reinterpret_cast<unsigned char*>(const_cast<char*>(inEncryptedString.data()));
  if (b64_decode(encrypted, uEncrypedSize, decoded, &decodedSize) == 0) {
    VOMAXEL_LOG(3, "%s:%d Failed to decode with Base64 incoding", kDoDecryptionSignature,
                __LINE__);
    return inEncryptedString;
  }

  // Only the bytes decryption writes are read, up to the zero written after them.
  unsigned char plain[MAX_ID_STRING_SIZE];
  const int decodedTextSize = CACRCipherUtil::GetInstance()->Decrypt(plain, decoded, decodedSize);
  if (decodedTextSize == 0) {
    VOMAXEL_LOG(3, "%s:%d decodedTextSize == 0", kDoDecryptionSignature, __LINE__);
    return inEncryptedString;
  }
  // The plain text ends at its first zero byte.
  plain[decodedTextSize] = 0;
  return std::string(reinterpret_cast<const char*>(plain));
}

void Vomaxel::DecryptMatchInfo(const std::string& inAcrInfo, ACR_MATCH_INFO& matchInfo,
                               std::string& outAcrInfo) {
  try {
    const std::string text(inAcrInfo.c_str());
    Json::Value root;
    // A non-empty array passes the parse, but only an object has members.
    if (!vomaxel::ParseJson(text, Json::Features::strictMode(), root) || root.empty() ||
        !root.isObject()) {
      VOMAXEL_LOG(3, "%s:%d Parsing error, inAcrInfo = %s", kDecryptMatchInfoSignature, __LINE__,
                  text.c_str());
      return;
    }
    // Its entries move into the output as they are decrypted.
    Json::Value& matchResult = root["matchResult"];
    if (matchResult.empty()) {
      VOMAXEL_LOG(3, "%s:%d matchResult is empty", kDecryptMatchInfoSignature, __LINE__);
      WriteFailureValues(matchInfo);
      return;
    }

    Json::Value output(Json::objectValue);
    Json::Value& decryptedEntries = output["matchResult"];
    decryptedEntries = m_DecryptMultiMatchResult(matchResult, matchInfo);
    if (decryptedEntries.empty()) {
      VOMAXEL_LOG(3, "%s:%d Failed to decrypt matchInfo", kDecryptMatchInfoSignature, __LINE__);
      WriteFailureValues(matchInfo);
      return;
    }
    // The root is done with: its members move over rather than being copied.
    output["queryTs"] = std::move(root["queryTs"]);
    output["matchCounts"] = std::move(root["matchCounts"]);
    Json::StyledWriter().write(output).swap(outAcrInfo);
  } catch (const std::exception&) {  // allocation failure: nothing more can be done
  }
}

Json::Value Vomaxel::m_DecryptMultiMatchResult(Json::Value& matchResult,
                                               ACR_MATCH_INFO& matchInfo) {
  // Only an array has entries: an object's members cannot be read by index.
  matchInfo.nMatchCount = matchResult.isArray() ? matchResult.size() : 0;
  Json::Value decryptedEntries;
  try {
    for (Json::ArrayIndex i = 0; i < matchInfo.nMatchCount; ++i) {
      if (!matchResult.isValidIndex(i)) {
        VOMAXEL_LOG(3, "%s:%d Invaild Json array index", kMultiMatchSignature, __LINE__);
        return Json::Value();
      }
      if (!matchInfo.szProgramId.empty()) {
        for (std::string ACR_MATCH_INFO::*member : kTextMembers) {
          (matchInfo.*member).append(ACR_STRING_MULTI_DELIMITER);
        }
      }
      const Json::Value& entry =
          decryptedEntries.append(m_DecryptEachMatchInfo(std::move(matchResult[i])));
      m_MakeACRInfoToKnown(entry, matchInfo);
    }
  } catch (const std::exception&) {
    // A member that jsoncpp will not convert, or an entry that is not an
    // object, fails the whole answer.
    return Json::Value();
  }
  return decryptedEntries;
}

Json::Value Vomaxel::m_DecryptEachMatchInfo(Json::Value matchEntry) {
  // Each member is read before it is replaced and nothing else is read, so
  // the entry is decrypted in place.
  const std::string absent(ACR_STRING_EMPTY);
  for (const char* name : kEncryptedMatchMembers) {
    Json::Value* member = FindMember(matchEntry, name);
    const std::string encrypted = member != NULL ? member->asString() : absent;
    if (encrypted.empty()) continue;
    if (member == NULL) member = &matchEntry[name];
    *member = m_DoDecryption(encrypted);
  }
  return matchEntry;
}

void Vomaxel::m_MakeACRInfoToKnown(const Json::Value& matchEntry, ACR_MATCH_INFO& matchInfo) {
  const std::string absent(ACR_STRING_EMPTY);

  const std::string contentId = MemberText(matchEntry, "contentId", absent);
  if (!AppendSplit(contentId, matchInfo.szProgramId, matchInfo.szStartTime)) {
    matchInfo.szProgramId.append(contentId);
    matchInfo.szStartTime.append("0");
  }

  // Without a stream, the source names the channel.
  const std::string source = MemberText(matchEntry, "source", absent);
  const std::string streamId = MemberText(matchEntry, "streamId", source);
  if (!AppendSplit(streamId, matchInfo.szChannelId, matchInfo.szChannelName)) {
    matchInfo.szChannelId.append(streamId);
    matchInfo.szChannelName.append(streamId);
  }

  AppendMemberText(matchEntry, "idType", absent, matchInfo.szIdType);
  AppendMemberText(matchEntry, "contentTitle", absent, matchInfo.szProgramName);
  matchInfo.szSource.append(source);

  // The offset is written without a sign: -1 becomes 4294967295.
  const Json::Value* contentOffset = vomaxel::FindMember(matchEntry, "contentOffset");
  const int offset = contentOffset != NULL ? contentOffset->asInt() : 0;
  matchInfo.szMediaTime.append(boost::lexical_cast<std::string>(static_cast<unsigned int>(offset)));

  AppendMemberText(matchEntry, "genre", absent, matchInfo.szGenre);
  AppendMemberText(matchEntry, "altIdType", absent, matchInfo.szAltIdType);
  AppendMemberText(matchEntry, "altContentId", absent, matchInfo.szAltContentId);
  AppendMemberText(matchEntry, "altContentTitle", absent, matchInfo.szAltContentTitle);
  AppendMemberText(matchEntry, "altStreamId", absent, matchInfo.szAltStreamId);
  AppendMemberText(matchEntry, "bypassData", absent, matchInfo.szBypassData);
}

std::string Vomaxel::DecryptEachEventInfo(const std::string& inEventInfo) {
  const char* text = inEventInfo.c_str();
  try {
    Json::Value root;
    if (vomaxel::ParseJson(text, Json::Features::strictMode(), root) && !root.empty() &&
        root.isObject()) {
      // The output is the input with some members replaced. Each replacement
      // reads only its own member, so the root is changed in place.
      auto decryptMember = [this, &root](const char* name) -> bool {
        if (!root.isMember(name)) return false;
        Json::Value& member = root[name];
        member = m_DoDecryption(member.asString());
        return true;
      };
      decryptMember("contentId");
      decryptMember("contentTitle");
      if (decryptMember("streamId")) {
        root["streamTs"] = root.get("streamTs", 0).asInt();
      }
      decryptMember("callbackUrl");
      return Json::StyledWriter().write(root);
    }
  } catch (const std::exception&) {
    // A member that jsoncpp will not convert makes the text unusable.
  }
  VOMAXEL_LOG(3, "%s:%d Parsing error, inEventInfo = %s", kEventInfoSignature, __LINE__, text);
  return std::string();
}
