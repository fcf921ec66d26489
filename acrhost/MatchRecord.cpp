#include "MatchRecord.h"

#include <boost/variant.hpp>
#include <string>

#include "HostError.h"

namespace {

using Member = boost::variant<std::string ACR_MATCH_INFO::*, unsigned int ACR_MATCH_INFO::*,
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
class Assigner : public boost::static_visitor<bool> {
 public:
  Assigner(ACR_MATCH_INFO& record, const Json::Value& value) : record_(record), value_(value) {}

  bool operator()(std::string ACR_MATCH_INFO::*pointer) const {
    if (!value_.isString()) return false;
    record_.*pointer = value_.asString();
    return true;
  }

  bool operator()(unsigned int ACR_MATCH_INFO::*pointer) const {
    if (!value_.isUInt()) return false;
    record_.*pointer = value_.asUInt();
    return true;
  }

  bool operator()(int ACR_MATCH_INFO::*pointer) const {
    if (!value_.isInt()) return false;
    record_.*pointer = value_.asInt();
    return true;
  }

 private:
  ACR_MATCH_INFO& record_;
  const Json::Value& value_;
};

// A member's value as text.
class Printer : public boost::static_visitor<std::string> {
 public:
  explicit Printer(const ACR_MATCH_INFO& record) : record_(record) {}

  std::string operator()(std::string ACR_MATCH_INFO::*pointer) const { return record_.*pointer; }

  template <typename Number>
  std::string operator()(Number ACR_MATCH_INFO::*pointer) const {
    return std::to_string(record_.*pointer);
  }

 private:
  const ACR_MATCH_INFO& record_;
};

bool Assign(ACR_MATCH_INFO& record, const Member& member, const Json::Value& value) {
  return boost::apply_visitor(Assigner(record, value), member);
}

std::string ValueText(const ACR_MATCH_INFO& record, const Member& member) {
  return boost::apply_visitor(Printer(record), member);
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
