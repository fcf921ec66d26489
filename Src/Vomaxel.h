// Vomaxel, the plug-in's implementation of IVomaxel. It holds no state: every
// object behaves alike, and the only long-lived state is the key store.

#ifndef VOMAXEL_SRC_VOMAXEL_H_
#define VOMAXEL_SRC_VOMAXEL_H_

#include <string>
#include <vector>

#include <json/value.h>

#include "IVomaxel.h"

class KeyPair;

class Vomaxel : public IVomaxel {
 public:
  bool MakeDeviceInfoJson(ACR_HDMI_DEVICE_INFO* pHdmiInfo, std::string& outJson) override;
  std::string MakeAuxiliaryInfo(std::string countryCode) override;
  void DecryptMatchInfo(const std::string& inAcrInfo, ACR_MATCH_INFO& matchInfo,
                        std::string& outAcrInfo) override;
  bool ParserACRInfoJson(const char* pInJsonString, ACR_MATCH_INFO& matchInfo) override;
  std::string MakeACRInfoJson(MATCHING_ENGINE_TYPE engineType,
                              const ACR_MATCH_INFO& matchInfo) override;
  std::string DecryptEachEventInfo(const std::string& inEventInfo) override;
  void MakeEventInfoList(std::vector<std::string>& eventInfoList, std::string& outJson) override;
  void MakeEventMessage(MATCHING_ENGINE_TYPE engineType, int matchType, int eventType,
                        const std::string& acrInfoJson, const std::string& eventInfoJson,
                        std::string& outJson) override;
  bool MakeAcrData(int matchType, int eventType, BI_ST_ACRINFO* pAcrInfo,
                   BI_ST_EVENTINFO* pEventInfo, std::string& outJson) override;
  bool MakeAcrData(int engineType, int matchType, int eventType,
                   std::vector<BI_ST_ACRINFO>* pAcrInfoList,
                   std::vector<BI_ST_EVENTINFO>* pEventInfoList, std::string& outJson) override;
  void SetSecureKey(std::string& key) override;

 private:
  // Plain text of one encrypted server field, decrypted with `keys`; the
  // field's own text where it cannot be decoded. An operation hands every
  // field the same `keys`, so that its result comes from one key pair.
  std::string m_DoDecryption(const std::string& inEncryptedString, KeyPair& keys);
  std::string m_DoDecryption(const char* inEncryptedString, std::string::size_type uEncrypedSize,
                             KeyPair& keys);
  // Decrypts every entry of a server answer's "matchResult" in place and maps
  // each onto `matchInfo`. False where the walk fails or finds no entry.
  bool m_DecryptMultiMatchResult(Json::Value& matchResult, ACR_MATCH_INFO& matchInfo,
                                 KeyPair& keys);
  // The members of one match entry that the two calls below read.
  struct EntryMembers;
  // Replaces the encrypted members of one match entry by their plain text.
  void m_DecryptEachMatchInfo(Json::Value& matchEntry, EntryMembers& members, KeyPair& keys);
  // Appends one decrypted match entry to the text members of `matchInfo`.
  void m_MakeACRInfoToKnown(const EntryMembers& members, ACR_MATCH_INFO& matchInfo);
};

#endif  // VOMAXEL_SRC_VOMAXEL_H_
