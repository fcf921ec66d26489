#include "MatchRecord.h"

#include <type_traits>
#include <variant>

#include "HostError.h"

namespace {

using Member = std::variant<std::string ACR_MATCH_INFO::*, unsigned int ACR_MATCH_INFO::*,
                            int ACR_MATCH_INFO::*>;

struct Field {
  const char* name;
  Member member;
};

const Field kFields[] = {
    {"szChannelId", &ACR_MATCH_INFO::szChannelId},
    {"szChannelName", &ACR_MATCH_INFO::szChannelName},
    {"szProgramId", &ACR_MATCH_INFO::szProgramId},
    {"szProgramName", &ACR_MATCH_INFO::szProgramName},
    {"szStartTime", &ACR_MATCH_INFO::szStartTime},
    {"szMediaTime", &ACR_MATCH_INFO::szMediaTime},
    {"szIdType", &ACR_MATCH_INFO::szIdType},
    {"szSource", &ACR_MATCH_INFO::szSource},
    {"szGenre", &ACR_MATCH_INFO::szGenre},
    {"szAltIdType", &ACR_MATCH_INFO::szAltIdType},
    {"szAltContentId", &ACR_MATCH_INFO::szAltContentId},
    {"szAltContentTitle", &ACR_MATCH_INFO::szAltContentTitle},
    {"szAltStreamId", &ACR_MATCH_INFO::szAltStreamId},
    {"szBypassData", &ACR_MATCH_INFO::szBypassData},
    {"nMatchCount", &ACR_MATCH_INFO::nMatchCount},
    {"nEngineType", &ACR_MATCH_INFO::nEngineType},
    {"nEventType", &ACR_MATCH_INFO::nEventType},
    {"bIsEngineStopped", &ACR_MATCH_INFO::bIsEngineStopped},
};

const Field* FindField(const std::string& name) {
  for (const Field& field : kFields) {
    if (name == field.name) return &field;
  }
  return nullptr;
}

// Stores `value` in the member if it has the member's type; false otherwise.
bool Assign(ACR_MATCH_INFO& record, const Member& member, const Json::Value& value) {
  return std::visit(
      [&](auto pointer) {
        using Type = std::remove_reference_t<decltype(record.*pointer)>;
        if constexpr (std::is_same_v<Type, std::string>) {
          if (!value.isString()) return false;
          record.*pointer = value.asString();
        } else if constexpr (std::is_same_v<Type, unsigned int>) {
          if (!value.isUInt()) return false;
          record.*pointer = value.asUInt();
        } else {
          if (!value.isInt()) return false;
          record.*pointer = value.asInt();
        }
        return true;
      },
      member);
}

std::string ValueText(const ACR_MATCH_INFO& record, const Member& member) {
  return std::visit(
      [&](auto pointer) {
        if constexpr (std::is_same_v<decltype(pointer), std::string ACR_MATCH_INFO::*>) {
          return record.*pointer;
        } else {
          return std::to_string(record.*pointer);
        }
      },
      member);
}

}  // namespace

ACR_MATCH_INFO ReadMatchRecord(const Json::Value& object) {
  if (!object.isObject()) throw HostError("a match record must be a JSON object");
  ACR_MATCH_INFO record{};
  for (const std::string& name : object.getMemberNames()) {
    const Field* field = FindField(name);
    if (field == nullptr) throw HostError("a match record has an unknown field \"" + name + "\"");
    if (!Assign(record, field->member, object[name])) {
      throw HostError("the match record's field \"" + name + "\" has a value of the wrong type");
    }
  }
  return record;
}

std::string MatchRecordText(const ACR_MATCH_INFO& record) {
  std::string text;
  for (const Field& field : kFields) {
    text += std::string(field.name) + ": " + ValueText(record, field.member) + "\n";
  }
  return text;
}
