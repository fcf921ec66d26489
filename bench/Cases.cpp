#include "Cases.h"

#include <openssl/evp.h>

#include <cstring>
#include <memory>
#include <type_traits>
#include <boost/variant.hpp>

#include "JsonCpp.h"

#include "ACRCipherUtil.h"
#include "Direct.h"
#include "Inputs.h"
#include "FieldDecoding.h"
#include "KeyPair.h"
#include "MatchFields.h"
#include "Vomaxel.h"

namespace cases {

namespace {

const char kAcrDataSignature[] =
    "virtual bool Vomaxel::MakeAcrData(int, int, BI_ST_ACRINFO*, BI_ST_EVENTINFO*, std::string&)";
const char kAcrDataListSignature[] =
    "virtual bool Vomaxel::MakeAcrData(int, int, int, std::vector<_BI_ST_ACRINFO>*, "
    "std::vector<_BI_ST_EVENTINFO>*, std::string&)";

const char* const kAdMembers[] = {"AdMediaTime", "AdURI",       "ContentId",
                                  "ContentTitle", "ContentType", "PromptDuration"};

const Json::Value* Member(const Json::Value& object, const char* key) {
  return object.find(key, key + std::strlen(key));
}

template <typename T>
std::shared_ptr<T> Shared(T value) {
  return std::make_shared<T>(std::move(value));
}

std::shared_ptr<Bytes> CurrentKey() { return Shared(inputs::CurrentKey()); }

// --- Match info JSON

Family ParserAcrInfoJson(Vomaxel& vomaxel) {
  auto text = Shared(inputs::MatchInfoJson());
  Run op = [&vomaxel, text](Output& out) { vomaxel.ParserACRInfoJson(text->c_str(), out.record); };
  Run floor = [text](Output& out) {
    Json::Value root;
    if (!direct::Parse(std::string(text->c_str()), port::Features::Strict(), root) ||
        root.empty()) {
      return;
    }
    for (const MatchField& field : kMatchFields) {
      const Json::Value* value = Member(root, field.key);
      boost::apply_visitor(
          [&](auto member) {
            if constexpr (std::is_same_v<decltype(member), std::string ACR_MATCH_INFO::*>) {
              out.record.*member = value != nullptr ? value->asString() : ACR_STRING_UNKNOWN;
            } else {
              out.record.*member = value != nullptr ? value->asInt() : 0;
            }
          },
          field.member);
    }
  };
  return {"ParserACRInfoJson", "", false, true, {{0, op, floor}}};
}

Family MakeAcrInfoJson(Vomaxel& vomaxel) {
  auto record = Shared(inputs::MatchRecord());
  Run op = [&vomaxel, record](Output& out) {
    out.text = vomaxel.MakeACRInfoJson(MATCHING_ENGINE_TYPE_AUDIO, *record);
  };
  // The record's engine type is the one the call names, so the floor writes
  // every field of the record.
  Run floor = [record](Output& out) {
    Json::Value root;
    for (const MatchField& field : kMatchFields) {
      boost::apply_visitor([&](auto member) { root[field.key] = Json::Value((*record).*member); },
                 field.member);
    }
    out.text = port::StyledWriter().write(root);
  };
  return {"MakeACRInfoJson", "", false, false, {{0, op, floor}}};
}

// --- Cipher, codec and keys

Family SetSecureKey(Vomaxel& vomaxel) {
  auto keys = Shared(inputs::KeyText());
  Run op = [&vomaxel, keys](Output&) { vomaxel.SetSecureKey(*keys); };
  return {"SetSecureKey", "", false, false, {{0, op, Run()}}};
}

Family Decrypt() {
  Family family = {"Decrypt", "bytes", false, false, {}};
  auto key = CurrentKey();
  for (int size : {48, 1536}) {
    const Bytes payload = inputs::Payload(size - 8);  // PKCS#7 fills the last block
    auto cipher = Shared(OracleEncrypt(*key, std::string(payload.begin(), payload.end())));
    Run op = [cipher](Output& out) {
      out.length = CACRCipherUtil::GetInstance()->Decrypt(out.bytes.data(), cipher->data(),
                                                          static_cast<int>(cipher->size()));
    };
    Run floor = [key, cipher](Output& out) {
      out.length = direct::Decrypt(key->data(), out.bytes.data(), cipher->data(),
                                   static_cast<int>(cipher->size()));
    };
    family.variants.push_back({size, op, floor});
  }
  return family;
}

Family Encrypt() {
  Family family = {"Encrypt", "bytes", false, false, {}};
  auto key = CurrentKey();
  for (int size : {48, 1536}) {
    auto plain = Shared(inputs::Payload(size));
    Run op = [plain](Output& out) {
      out.length = CACRCipherUtil::GetInstance()->Encrypt(out.bytes.data(), plain->data(),
                                                          static_cast<int>(plain->size()));
    };
    Run floor = [key, plain](Output& out) {
      out.length = direct::Encrypt(key->data(), out.bytes.data(), plain->data(),
                                   static_cast<int>(plain->size()));
    };
    family.variants.push_back({size, op, floor});
  }
  return family;
}

Family Base64Decode() {
  Family family = {"b64_decode", "chars", false, false, {}};
  for (int size : {64, 2048}) {
    auto text = Shared(OracleBase64(inputs::Payload(size / 4 * 3)));
    Run op = [text](Output& out) {
      unsigned int length = 0;
      b64_decode(reinterpret_cast<unsigned char*>(&(*text)[0]),
                 static_cast<unsigned int>(text->size()), out.bytes.data(), &length);
      out.length = static_cast<int>(length);
    };
    Run floor = [text](Output& out) {
      out.length = EVP_DecodeBlock(out.bytes.data(),
                                   reinterpret_cast<const unsigned char*>(text->data()),
                                   static_cast<int>(text->size()));
    };
    family.variants.push_back({size, op, floor});
  }
  return family;
}

Family Base64Encode() {
  Family family = {"b64_encode", "bytes", false, false, {}};
  for (int size : {48, 1536}) {
    auto bytes = Shared(inputs::Payload(size));
    Run op = [bytes](Output& out) {
      unsigned int length = 0;
      b64_encode(bytes->data(), static_cast<unsigned int>(bytes->size()), out.bytes.data(),
                 &length);
      out.length = static_cast<int>(length);
    };
    Run floor = [bytes](Output& out) {
      out.length =
          EVP_EncodeBlock(out.bytes.data(), bytes->data(), static_cast<int>(bytes->size()));
    };
    family.variants.push_back({size, op, floor});
  }
  return family;
}

// --- Server result decoding

Family FieldDecode(Vomaxel& vomaxel) {
  auto key = CurrentKey();
  auto field = Shared(inputs::EncryptedField(40));
  // One field decoded on its own, with a copy of the keys of its own.
  Run op = [&vomaxel, field](Output& out) {
    KeyPair keys(*CACRCipherUtil::GetInstance());
    out.text = DecodeField(vomaxel, *field, keys);
  };
  Run floor = [key, field](Output& out) {
    out.text = direct::DecryptField(key->data(), field->data(), field->size());
  };
  return {"m_DoDecryption", "chars", false, false,
          {{static_cast<int>(field->size()), op, floor}}};
}

Family DecryptMatchInfo(Vomaxel& vomaxel) {
  Family family = {"DecryptMatchInfo", "matches", true, false, {}};
  auto key = CurrentKey();
  for (int matches : {1, 3, 10, 64}) {
    auto answer = Shared(inputs::ServerAnswer(matches));
    Run op = [&vomaxel, answer](Output& out) {
      out.record = ACR_MATCH_INFO();
      vomaxel.DecryptMatchInfo(*answer, out.record, out.text);
    };
    // The answer holds just the three members the output keeps, so its
    // root, decrypted in place, is the output.
    Run floor = [key, answer](Output& out) {
      Json::Value root;
      if (!direct::Parse(*answer, port::Features::Strict(), root) || root.empty()) return;
      for (Json::Value& entry : root["matchResult"]) {
        for (const char* name : inputs::kEncryptedMatchMembers) {
          direct::DecryptFieldInPlace(key->data(), entry[name]);
        }
      }
      out.text = port::StyledWriter().write(root);
    };
    family.variants.push_back({matches, op, floor});
  }
  return family;
}

Family DecryptEachEventInfo(Vomaxel& vomaxel) {
  auto key = CurrentKey();
  auto info = Shared(inputs::EventInformation());
  Run op = [&vomaxel, info](Output& out) { out.text = vomaxel.DecryptEachEventInfo(*info); };
  Run floor = [key, info](Output& out) {
    Json::Value root;
    if (!direct::Parse(*info, port::Features::Strict(), root) || root.empty()) return;
    for (const char* name : inputs::kEncryptedEventMembers) {
      direct::DecryptFieldInPlace(key->data(), root[name]);
    }
    root["streamTs"] = Json::Value(root["streamTs"].asInt());
    out.text = port::StyledWriter().write(root);
  };
  return {"DecryptEachEventInfo", "", false, false, {{0, op, floor}}};
}

// --- Reports

void DirectAcrInfo(const BI_ST_ACRINFO& info, const char* signature, Json::Value& object) {
  object["StationName"] = Json::Value(info.szStationName);
  object["StreamName"] = Json::Value(info.szStreamName);
  object["ContentId"] = Json::Value(info.szContentId);
  direct::FormatLogLine("%s:%d  pAcrInfo->szContentMeta : %s", signature, 60,
                        info.szContentMeta.c_str());
  Json::Value meta;
  direct::Parse(info.szContentMeta, port::Features(), meta);
  object["ContentMeta"].swap(meta);
  object["MediaTime"] = Json::Value(info.nMediaTime);
  object["KillSwitch"] = Json::Value(info.nKillSwitch);
  object["LiveTag"] = Json::Value(info.nLiveTag);
  object["GlobalTime"] = Json::Value(info.nGlobalTime);
}

void DirectEventInfo(const BI_ST_EVENTINFO& info, const char* signature, Json::Value& object) {
  object["Type"] = Json::Value(info.nType);
  object["StreamId"] = Json::Value(info.szStreamId);
  object["Key"] = Json::Value(info.szKey);
  direct::FormatLogLine("%s:%d pEventInfo->szValue : %s", signature, 99, info.szValue.c_str());
  Json::Value parsed;
  direct::Parse(info.szValue, port::Features(), parsed);
  Json::Value& ad = object["Value"];
  for (const char* member : kAdMembers) ad[member].swap(parsed[member]);
  ad["ReoccurrenceDuration"] = Json::Value(0);
  object["GlobalTime"] = Json::Value(info.nGlobalTime);
}

Family MakeAcrData(Vomaxel& vomaxel) {
  auto acrInfo = Shared(inputs::AcrInfo(0));
  auto eventInfo = Shared(inputs::EventInfo(0));
  Run op = [&vomaxel, acrInfo, eventInfo](Output& out) {
    vomaxel.MakeAcrData(1, 2, acrInfo.get(), eventInfo.get(), out.text);
  };
  Run floor = [acrInfo, eventInfo](Output& out) {
    Json::Value report;
    report["MatchType"] = Json::Value(1);
    report["EventType"] = Json::Value(2);
    DirectAcrInfo(*acrInfo, kAcrDataSignature, report["ACRInfo"]);
    DirectEventInfo(*eventInfo, kAcrDataSignature, report["EventInfo"]);
    port::StyledWriter().write(report).swap(out.text);
  };
  return {"MakeAcrData", "", false, false, {{0, op, floor}}};
}

Family MakeAcrDataList(Vomaxel& vomaxel) {
  Family family = {"MakeAcrData(list)", "records", true, false, {}};
  for (int records : {1, 10, 100}) {
    auto acrInfos = std::make_shared<std::vector<BI_ST_ACRINFO>>();
    auto eventInfos = std::make_shared<std::vector<BI_ST_EVENTINFO>>();
    for (int i = 0; i < records; ++i) {
      acrInfos->push_back(inputs::AcrInfo(i));
      eventInfos->push_back(inputs::EventInfo(i));
    }
    Run op = [&vomaxel, acrInfos, eventInfos](Output& out) {
      vomaxel.MakeAcrData(MATCHING_ENGINE_TYPE_AUDIO, 1, 2, acrInfos.get(), eventInfos.get(),
                          out.text);
    };
    Run floor = [acrInfos, eventInfos](Output& out) {
      Json::Value report;
      report["MatchType"] = Json::Value(1);
      report["EventType"] = Json::Value(2);
      report["Engine"] = Json::Value(static_cast<int>(MATCHING_ENGINE_TYPE_AUDIO));
      Json::Value& acrArray = report["ACRInfo"];
      for (Json::ArrayIndex i = 0; i < acrInfos->size(); ++i) {
        DirectAcrInfo((*acrInfos)[i], kAcrDataListSignature, acrArray[i]);
      }
      Json::Value& eventArray = report["EventInfo"];
      for (Json::ArrayIndex i = 0; i < eventInfos->size(); ++i) {
        DirectEventInfo((*eventInfos)[i], kAcrDataListSignature, eventArray[i]);
      }
      port::StyledWriter().write(report).swap(out.text);
    };
    family.variants.push_back({records, op, floor});
  }
  return family;
}

Family MakeEventMessage(Vomaxel& vomaxel) {
  auto acrJson = Shared(inputs::MessageAcrInfoJson());
  auto eventJson = Shared(inputs::MessageEventInfoJson());
  Run op = [&vomaxel, acrJson, eventJson](Output& out) {
    vomaxel.MakeEventMessage(MATCHING_ENGINE_TYPE_AUDIO, 1, 2, *acrJson, *eventJson, out.text);
  };
  Run floor = [acrJson, eventJson](Output& out) {
    Json::Value message;
    message["Engine"] = Json::Value(static_cast<int>(MATCHING_ENGINE_TYPE_AUDIO));
    message["MatchType"] = Json::Value(1);
    message["EventType"] = Json::Value(2);
    Json::Value acrInfo;
    if (!direct::Parse(*acrJson, port::Features::Strict(), acrInfo) || acrInfo.empty()) return;
    Json::Value eventInfo;
    if (!direct::Parse(*eventJson, port::Features::Strict(), eventInfo) ||
        eventInfo.empty()) {
      return;
    }
    message["ACRInfo"].swap(acrInfo);
    message["EventInfo"].swap(eventInfo);
    port::StyledWriter().write(message).swap(out.text);
  };
  return {"MakeEventMessage", "", false, false, {{0, op, floor}}};
}

Family MakeEventInfoList(Vomaxel& vomaxel) {
  auto list = Shared(inputs::EventInfoList(10));
  Run op = [&vomaxel, list](Output& out) { vomaxel.MakeEventInfoList(*list, out.text); };
  Run floor = [list](Output& out) {
    Json::Value array;
    for (const std::string& entry : *list) {
      Json::Value element;
      direct::Parse(entry, port::Features(), element);
      array.append(std::move(element));
    }
    port::StyledWriter().write(array).swap(out.text);
  };
  return {"MakeEventInfoList", "entries", false, false, {{10, op, floor}}};
}

Family MakeAuxiliaryInfo(Vomaxel& vomaxel) {
  auto country = Shared(std::string("KR"));
  Run op = [&vomaxel, country](Output& out) { out.text = vomaxel.MakeAuxiliaryInfo(*country); };
  Run floor = [country](Output& out) {
    Json::Value info;
    info["countryCode"] = Json::Value(*country);
    out.text = port::StyledWriter().write(info);
  };
  return {"MakeAuxiliaryInfo", "", false, false, {{0, op, floor}}};
}

Family MakeDeviceInfoJson(Vomaxel& vomaxel) {
  auto device = Shared(inputs::HdmiDevice());
  Run op = [&vomaxel, device](Output& out) { vomaxel.MakeDeviceInfoJson(device.get(), out.text); };
  Run floor = [device](Output& out) {
    Json::Value info;
    info["Vendor"] = Json::Value(device->szVendor);
    info["Product"] = Json::Value(device->szProduct);
    info["Source"] = Json::Value(device->nSource);
    port::FastWriter().write(info).swap(out.text);
  };
  return {"MakeDeviceInfoJson", "", false, false, {{0, op, floor}}};
}

bool SameRecord(const ACR_MATCH_INFO& a, const ACR_MATCH_INFO& b) {
  for (const MatchField& field : kMatchFields) {
    if (!boost::apply_visitor([&](auto member) { return a.*member == b.*member; }, field.member)) {
      return false;
    }
  }
  return true;
}

}  // namespace

std::vector<Family> Families(Vomaxel& vomaxel) {
  return {ParserAcrInfoJson(vomaxel), MakeAcrInfoJson(vomaxel),  SetSecureKey(vomaxel),
          Decrypt(),                  Encrypt(),                  Base64Decode(),
          Base64Encode(),             FieldDecode(vomaxel),     DecryptMatchInfo(vomaxel),
          DecryptEachEventInfo(vomaxel), MakeAcrData(vomaxel),   MakeAcrDataList(vomaxel),
          MakeEventMessage(vomaxel),  MakeEventInfoList(vomaxel), MakeAuxiliaryInfo(vomaxel),
          MakeDeviceInfoJson(vomaxel)};
}

bool SameOutput(const Family& family, const Output& op, const Output& floor) {
  if (family.fillsRecord && !SameRecord(op.record, floor.record)) return false;
  return op.text == floor.text && op.length == floor.length &&
         std::memcmp(op.bytes.data(), floor.bytes.data(), static_cast<size_t>(op.length)) == 0;
}

}  // namespace cases
