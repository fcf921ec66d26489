#include "MatchRecord.h"

#include <type_traits>
#include <variant>

#include "HostError.h"
#include "MatchFields.h"

namespace {

const MatchField* FindField(const std::string& name) {
  for (const MatchField& field : kMatchFields) {
    if (name == field.name) return &field;
  }
  return nullptr;
}

// Stores `value` in the member if it has the member's type; false otherwise.
bool Assign(ACR_MATCH_INFO& record, const MatchMember& member, const Json::Value& value) {
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

std::string ValueText(const ACR_MATCH_INFO& record, const MatchMember& member) {
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
    const MatchField* field = FindField(name);
    if (field == nullptr) throw HostError("a match record has an unknown field \"" + name + "\"");
    if (!Assign(record, field->member, object[name])) {
      throw HostError("the match record's field \"" + name + "\" has a value of the wrong type");
    }
  }
  return record;
}

std::string MatchRecordText(const ACR_MATCH_INFO& record) {
  std::string text;
  for (const MatchField& field : kMatchFields) {
    text += std::string(field.name) + ": " + ValueText(record, field.member) + "\n";
  }
  return text;
}
